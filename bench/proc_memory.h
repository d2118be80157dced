#pragma once
// The process's own memory figures from /proc, for the benchmarks' goals.
#include <cstring>
#include <fstream>
#include <string>

// A figure of /proc/self/status such as "VmHWM:" or "VmRSS:", in MB.
inline double StatusMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::strlen(key))) / 1024.0;
    return 0;
}

// Starts the peak (VmHWM) again from what is resident now.
inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

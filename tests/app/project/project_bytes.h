#pragma once
// Project files put together byte by byte, for readers to judge.
#include <cstdint>
#include <string>
#include <vector>

#include "app/project/project_file.h"

namespace pc::test {

// The blobs back to back, then the INI text and the trailer of a scene
// whose blob positions are set.
inline std::vector<uint8_t> ProjectBytes(const std::vector<std::vector<uint8_t>>& blobs, const project::Scene& s)
{
    std::vector<uint8_t> file;
    for (const auto& b : blobs)
        file.insert(file.end(), b.begin(), b.end());
    const uint32_t b = uint32_t(file.size());
    const std::string ini = project::ProjectIniText(s, "d");
    file.insert(file.end(), ini.begin(), ini.end());
    for (uint32_t x : {b, uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(x >> (8 * i)));
    return file;
}

} // namespace pc::test

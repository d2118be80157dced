// prismcase-probe: runs the program's own code paths from the command line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/probe/probe_registry.h"
#include "platform/file_size_signal.h"
#include "platform/paths.h"

namespace pc::probe {

std::vector<ProbeCommand>& Registry()
{
    static std::vector<ProbeCommand> commands;
    return commands;
}

} // namespace pc::probe

int main(int argc, char** argv)
{
    using namespace pc::probe;
    pc::IgnoreFileSizeSignal();
    auto& reg = Registry();
    std::sort(reg.begin(), reg.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    if (argc >= 2) {
        for (const auto& c : reg)
            if (c.name == argv[1]) {
                try {
                    // As the program does at start: what killed runs left goes.
                    pc::RemoveStaleWorkFolders();
                    return c.run(argc - 1, argv + 1);
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                    return 1;
                }
            }
        std::fprintf(stderr, "unknown command: %s\n", argv[1]);
    }
    std::fprintf(stderr, "usage: prismcase-probe COMMAND [ARGS]\ncommands:\n");
    for (const auto& c : reg)
        std::fprintf(stderr, "  %s %s\n", c.name.c_str(), c.usage.c_str());
    return 2;
}

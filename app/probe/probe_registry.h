#pragma once
// Sub-commands of prismcase-probe. Each file registers its own with a static
// ProbeRegistrar; main() looks them up by name.
#include <string>
#include <vector>

namespace pc::probe {

// argv[0] is the sub-command's name. Returns the process exit code.
using ProbeFn = int (*)(int argc, char** argv);

struct ProbeCommand {
    std::string name;
    std::string usage;
    ProbeFn run;
};

std::vector<ProbeCommand>& Registry();

struct ProbeRegistrar {
    ProbeRegistrar(const char* name, const char* usage, ProbeFn fn) { Registry().push_back({name, usage, fn}); }
};

} // namespace pc::probe

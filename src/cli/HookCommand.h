// `tessaro hook DESIGN [--pair-mode] QUERY...`: asks the plug-in's router hook about pads.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct HookOptions {
    std::string designPath;
    bool pairMode = false;
    std::vector<std::string> queries;  // "swappable U1-1", "candidates U1-1", ...
    std::string transcriptPath;        // "" for none
    std::string pluginPath;            // the plug-in library
};

// Answers each query on one line of JSON on `out`; returns the process exit code.
int RunHookCommand(const HookOptions& options, std::ostream& out, std::ostream& err);

}  // namespace cli

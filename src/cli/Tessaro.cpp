#include "cli/Tessaro.h"

#include <iostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Environment.h"
#include "cli/HookCommand.h"
#include "cli/RenderCommand.h"
#include "cli/RunCommand.h"

namespace cli {

int Main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    Invocation inv = ParseArguments(args, std::cout, std::cerr);
    if (inv.exitCode) return *inv.exitCode;
    try {
        switch (inv.subcommand) {
            case Invocation::Subcommand::Run:
                return RunDesignCommand(inv.run, ProcessEnvironment(), std::cerr);
            case Invocation::Subcommand::Render:
                return RenderDesign(inv.render, std::cerr);
            case Invocation::Subcommand::Generate:
                return GenerateDesignFile(inv.generate, std::cerr);
            case Invocation::Subcommand::Hook:
                inv.hook.pluginPath = PluginBesideExecutable();
                return RunHookCommand(inv.hook, std::cout, std::cerr);
        }
    } catch (const std::exception& e) {
        // Outside the plug-in nothing is expected to fail; if it does, say so plainly.
        std::cerr << "tessaro: " << e.what() << "\n";
    }
    return ExitCommandFailed;
}

}  // namespace cli

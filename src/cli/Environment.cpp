#include "cli/Environment.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace cli {

std::string PluginBesideExecutable() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "libtessaro.so";  // left to the loader's own search
    return (exe.parent_path() / "libtessaro.so").string();
}

std::string DefaultOptionsPath() {
    std::filesystem::path folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        folder = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::filesystem::path(home) / ".config";
    else
        return "";
    return (folder / "tessaro" / "options.json").string();
}

Environment ProcessEnvironment() {
    Environment env;
    env.pluginPath = PluginBesideExecutable();
    // Prompts go to the error stream: standard output belongs to the plug-in's test mode.
    if (isatty(STDIN_FILENO)) env.terminal = Terminal{&std::cin, &std::cerr, nullptr};
    if (isatty(STDERR_FILENO)) env.liveStatus = &std::cerr;
    return env;
}

}  // namespace cli

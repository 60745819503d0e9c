// What the command finds around itself: its plug-in, the terminal, the default option store.
#pragma once

#include <ostream>
#include <string>

#include "cli/CommandLinePerson.h"

namespace cli {

struct Environment {
    std::string pluginPath;              // the plug-in library to load
    Terminal terminal;                   // where confirmations are asked; none without `in`
    std::ostream* liveStatus = nullptr;  // status and progress shown live; nullptr: none
};

// libtessaro.so in the folder of the running executable. The command and its plug-in are
// installed together, so nothing from the environment decides which plug-in runs.
std::string PluginBesideExecutable();

// The option store file under the user's configuration folder, "" when there is none.
std::string DefaultOptionsPath();

// The environment of this process: a terminal only when standard input is one.
Environment ProcessEnvironment();

}  // namespace cli

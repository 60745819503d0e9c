// `tessaro run COMMAND DESIGN`: opens the design in the stand-in host, loads the plug-in and
// runs one of its commands from a view of the chosen document.
#pragma once

#include <ostream>

#include "cli/Arguments.h"
#include "cli/Environment.h"

namespace cli {

// Returns the exit code. When the plug-in ends the process itself (test mode) this does not
// return: the transcript is flushed and the process ends with the plug-in's code.
int RunDesignCommand(const RunOptions& options, const Environment& env, std::ostream& err);

}  // namespace cli

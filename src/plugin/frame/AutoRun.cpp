// Scaffold: the automatic run is being written; until then the command does nothing.
#include "frame/Drivers.h"

namespace tessaro {
bool RunAutoOptimization(const std::string&) { return false; }
}  // namespace tessaro

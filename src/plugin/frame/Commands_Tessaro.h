// The plug-in's command table: the five commands with their run and check callbacks.
#pragma once

#include "frame/RT_ServerImplementation.h"

namespace tessaro {

// Registers "ConfigureTessaro", "RunAutoTessaro", "RunManualTessaro", "RunManualPartSwapper"
// and "RunManualDifferentialPairSwapper", in that order.
void RegisterTessaroCommands(TCommandLauncher& launcher);

}  // namespace tessaro

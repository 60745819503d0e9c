// Scaffold: the manual swap commands are being written; until then they do nothing.
#include "frame/Drivers.h"

namespace tessaro {
const ManualSwapCommand PinSwapCommand{smPinSwap, nullptr, "Pin/Net Swapper"};
const ManualSwapCommand PartSwapCommand{smPartSwap, nullptr, "Part Swapper"};
const ManualSwapCommand PairSwapCommand{smPairSwap, nullptr, "Differential Pair Swapper"};
bool RunManualSwap(const std::string&, const ManualSwapCommand&) { return false; }
}  // namespace tessaro

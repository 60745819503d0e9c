// Swappability analysis before optimising, the warnings and errors of the data model, and
// the abort check the optimisers call.
#pragma once

#include <cstdint>
#include <string>

namespace tessaro {

class TSwapDataSet;
class TSwapPin;

// Runs the build in its fixed order, reports problems, asks whether to continue and (unless
// buildOnly) initialises the cost. True when the caller may go on.
bool Analyze(TSwapDataSet& dataSet, const std::string& filter, bool buildOnly);
// The light collection used by configuration; always true.
bool CollectComponents(TSwapDataSet& dataSet, const std::string& filter);
// The project test of a pin.
bool PinMaySwap(const TSwapDataSet& dataSet, const TSwapPin* pin);
void Warn(const TSwapDataSet& dataSet, const std::string& message);
void ReportError(const TSwapDataSet& dataSet, const std::string& message);

// Set when the person confirmed an abort; the automatic run clears it at its start.
extern bool AbortRequested;
// Every 50th call drains the thread's message queue; Escape asks whether to abort.
void CheckAbort();
std::int32_t AbortCheckCount();

}  // namespace tessaro

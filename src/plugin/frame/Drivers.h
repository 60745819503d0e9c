// The command drivers: what the run callbacks call once the context is a PCB document.
#pragma once

#include <cstdint>
#include <string>

#include "model/Optimizer_Data.h"

namespace tessaro {

class TSwapOptimizer_Abstract;

// "RunAutoTessaro": true when the run went through without being abandoned by the person.
bool RunAutoOptimization(const std::string& documentPath);
// The text of "Results From Net/Pin Optimization": lengths in board units, the elapsed time
// of the optimisers in seconds.
std::string FormatOptimizationReport(double lengthBefore, double lengthAfter,
                                     std::int32_t crossingsBefore, std::int32_t crossingsAfter,
                                     host::IPCB_Board* board, std::int32_t elapsedSeconds);

// The manual swap commands differ only in these values.
struct ManualSwapCommand {
    TSwapMode swapMode;
    TSwapOptimizer_Abstract* (*createOptimizer)(TSwapDataSet& dataSet);
    const char* messageSource;
};
extern const ManualSwapCommand PinSwapCommand;   // "RunManualTessaro"
extern const ManualSwapCommand PartSwapCommand;  // "RunManualPartSwapper"
extern const ManualSwapCommand PairSwapCommand;  // "RunManualDifferentialPairSwapper"

// True once the project checks passed.
bool RunManualSwap(const std::string& documentPath, const ManualSwapCommand& command);

}  // namespace tessaro

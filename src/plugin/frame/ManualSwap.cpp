// The drivers of the three manual swap commands: the person swaps pins, gates or
// differential pairs on the board through an interactive swapper, and the run ends with one
// result line in the host's message list.
#include <exception>
#include <memory>

#include "frame/Drivers.h"
#include "frame/Messages.h"
#include "frame/Preconditions.h"
#include "frame/Report.h"
#include "links/Rt_ConnectedObjectFinder.h"
#include "model/Analyze.h"
#include "model/Optimizer_Data.h"
#include "optimizers/Optimizer_Interactive.h"
#include "platform/Platform.h"
#include "ui/Application.h"

namespace tessaro {

namespace {

TSwapOptimizer_Abstract* CreatePinSwapper(TSwapDataSet& dataSet) {
    return dataSet.Make<TSwapOptimizer_InteractivePins>(&dataSet);
}
TSwapOptimizer_Abstract* CreatePartSwapper(TSwapDataSet& dataSet) {
    return dataSet.Make<TSwapOptimizer_InteractiveParts>(&dataSet);
}
TSwapOptimizer_Abstract* CreatePairSwapper(TSwapDataSet& dataSet) {
    return dataSet.Make<TSwapOptimizer_InteractivePairs>(&dataSet);
}

// Redraw, close the log, free the data set with its optimiser and let the toolkit catch up.
// Every step runs even when an earlier one raises; the first failure is passed on.
void RunClosingSteps(std::unique_ptr<TSwapDataSet>& dataSet) {
    std::exception_ptr failure;
    try {
        dataSet->RedrawBoard();
    } catch (const platform::ProcessExit&) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    dataSet->EndLog();
    dataSet.reset();
    try {
        ui::Application::Instance().ProcessMessages();
    } catch (const platform::ProcessExit&) {
        throw;
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

void SwapAndReport(TSwapDataSet& dataSet, const ManualSwapCommand& command) {
    dataSet.BeginLog();
    if (!Analyze(dataSet, "", true)) return;

    double lengthBefore = 0, lengthAfter = 0;
    std::int32_t crossingsBefore = 0, crossingsAfter = 0;
    dataSet.MeasureBoard(lengthBefore, crossingsBefore);
    command.createOptimizer(dataSet)->Run();
    dataSet.MeasureBoard(lengthAfter, crossingsAfter);

    const std::string line = FormatSwapReport(lengthBefore, lengthAfter, crossingsBefore,
                                              crossingsAfter, dataSet.Board());
    AddInformationMessage(line, dataSet.FileName, command.messageSource);
}

}  // namespace

const ManualSwapCommand PinSwapCommand{smPinSwap, &CreatePinSwapper, "Pin/Net Swapper"};
const ManualSwapCommand PartSwapCommand{smPartSwap, &CreatePartSwapper, "Part Swapper"};
const ManualSwapCommand PairSwapCommand{smPairSwap, &CreatePairSwapper,
                                        "Differential Pair Swapper"};

bool RunManualSwap(const std::string& documentPath, const ManualSwapCommand& command) {
    int code = 0;
    if (!EnsureProjectReady(documentPath, code)) {
        ShowError(ProjectStateMessage(code));
        return false;
    }
    auto dataSet = std::make_unique<TSwapDataSet>(documentPath, command.swapMode);
    try {
        SwapAndReport(*dataSet, command);
    } catch (const platform::ProcessExit&) {
        throw;  // the process ends at this point: nothing after it runs
    } catch (...) {
        try {
            RunClosingSteps(dataSet);
        } catch (const platform::ProcessExit&) {
            throw;
        } catch (...) {
            // The error that ended the run is the one the launcher hears about.
        }
        throw;
    }
    RunClosingSteps(dataSet);
    return true;
}

}  // namespace tessaro

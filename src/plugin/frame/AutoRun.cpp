// The driver of "RunAutoTessaro": build the pin-swap model of the board, measure it, run the
// fast optimiser and (after asking) the iterative one, write the result to the board and
// report lengths and crossings before and after.
#include <cstdio>
#include <exception>
#include <memory>

#include "frame/Drivers.h"
#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "frame/Preconditions.h"
#include "frame/Report.h"
#include "model/Analyze.h"
#include "model/Optimizer_Data.h"
#include "optimizers/Optimizer_Greedy.h"
#include "optimizers/Optimizer_Iterative.h"
#include "platform/Platform.h"
#include "ui/Application.h"

namespace tessaro {

namespace {

constexpr const char* InterruptedCaption = "Confirm Continue With Net/Pin Assignment";
constexpr const char* InterruptedText =
    "This phase of the optimization was interrupted.\r\rDo you wish to continue with the "
    "partial results?";
constexpr const char* IterativeCaption = "Confirm Iterative Optimizer?";
constexpr const char* ReportCaption = "Results From Net/Pin Optimization";

// After an optimiser was interrupted: Yes takes the partial result and goes on.
void AskToContinueAfterAbort() {
    if (AbortRequested && AskYesNo(InterruptedCaption, InterruptedText)) AbortRequested = false;
}

std::string IterativeQuestion(std::int32_t completed, std::int32_t total) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "The fast optimizer has completed %d out of %d swappable pins. \r\rContinue "
                  "with iterative optimizer",
                  completed, total);
    return text;
}

// What one run holds until its closing steps.
struct AutoRun {
    std::unique_ptr<TSwapDataSet> dataSet;
    TSwapOptimizer_Greedy* greedy = nullptr;
    TSwapOptimizer_Iterative* iterative = nullptr;
    double lengthBefore = 0;
    double lengthAfter = 0;
    std::int32_t crossingsBefore = 0;
    std::int32_t crossingsAfter = 0;
    // The board was measured before optimising: only then is there a result to report.
    bool measuredBefore = false;
    // The optimisation went through to its end (the person may still have abandoned it).
    bool finished = false;

    void Optimize() {
        TSwapDataSet& d = *dataSet;
        d.BeginLog();
        if (!Analyze(d, "", false)) return;
        d.MeasureBoard(lengthBefore, crossingsBefore);
        measuredBefore = true;
        d.HideNetConnections();

        greedy = d.Make<TSwapOptimizer_Greedy>(&d);
        greedy->Run();
        AskToContinueAfterAbort();
        if (AbortRequested) return;

        const std::int32_t completed = d.CountFixedSubNets();
        const auto total = static_cast<std::int32_t>(d.SwapSubNets.size());
        if (completed == 0 || AskYesNo(IterativeCaption, IterativeQuestion(completed, total))) {
            iterative = d.Make<TSwapOptimizer_Iterative>(&d);
            iterative->Run();
            AskToContinueAfterAbort();
        }
        finished = true;
    }

    // Runs however the run ended (also after an error).
    void Close() {
        std::exception_ptr failure;
        auto step = [&failure](auto&& action) {
            try {
                action();
            } catch (const platform::ProcessExit&) {
                throw;
            } catch (...) {
                if (!failure) failure = std::current_exception();
            }
        };
        TSwapDataSet& d = *dataSet;
        step([] { ui::Application::Instance().ProcessMessages(); });
        step([&] { d.RemoveConnectionLines(); });
        if (!AbortRequested) {
            step([&] {
                d.ApplyChanges();
                d.RestoreNetConnections();
                d.RedrawBoard();
                // Without a measurement before optimising (the analysis stopped the run)
                // there is nothing to compare: no report.
                if (!measuredBefore) return;
                d.MeasureBoard(lengthAfter, crossingsAfter);
                std::int32_t seconds = 0;
                if (greedy) seconds += greedy->ElapsedSeconds;
                if (iterative) seconds += iterative->ElapsedSeconds;
                ShowInformation(FormatOptimizationReport(lengthBefore, lengthAfter, crossingsBefore,
                                                         crossingsAfter, d.Board(), seconds),
                                ReportCaption);
            });
        }
        step([&] { d.RedrawBoard(); });
        step([&] { d.EndLog(); });
        dataSet.reset();
        step([] { ui::Application::Instance().ProcessMessages(); });
        if (failure) std::rethrow_exception(failure);
    }
};

}  // namespace

std::string FormatOptimizationReport(double lengthBefore, double lengthAfter,
                                     std::int32_t crossingsBefore, std::int32_t crossingsAfter,
                                     host::IPCB_Board* board, std::int32_t elapsedSeconds) {
    return FormatLengthAndCrossings(lengthBefore, lengthAfter, crossingsBefore, crossingsAfter,
                                    board) +
           "\r\rElapsed Time: " + FormatElapsed(elapsedSeconds);
}

bool RunAutoOptimization(const std::string& documentPath) {
    AbortRequested = false;
    host::IProject* project = FindDocumentProject(documentPath);
    if (!project) {
        ShowError("Pin/Net Optimization requires that the board is part of a PCB Project");
        return false;
    }
    project->DM_Compile();
    if (!project->DM_DocumentFlattened()) {
        ShowError("Failed to Compile: " + N(project->DM_ProjectFileName()));
        return false;
    }

    AutoRun run;
    run.dataSet = std::make_unique<TSwapDataSet>(documentPath, smPinSwap);
    try {
        run.Optimize();
    } catch (const platform::ProcessExit&) {
        throw;  // the process is ending: no closing step may run after it
    } catch (...) {
        std::exception_ptr failure = std::current_exception();
        try {
            run.Close();
        } catch (const platform::ProcessExit&) {
            throw;
        } catch (...) {
        }
        std::rethrow_exception(failure);
    }
    run.Close();
    return run.finished && !AbortRequested;
}

}  // namespace tessaro

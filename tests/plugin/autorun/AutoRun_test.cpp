// "RunAutoTessaro" end to end through the stand-in host: questions, interruption, what is
// written to the board and what the report says about it.
#include <gtest/gtest.h>

#include <regex>

#include "frame/Drivers.h"
#include "frame/Messages.h"
#include "frame/Report.h"
#include "model/Analyze.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

constexpr const char* ReportCaption = "Results From Net/Pin Optimization";
constexpr const char* InterruptedCaption = "Confirm Continue With Net/Pin Assignment";
constexpr const char* IterativeCaption = "Confirm Iterative Optimizer?";

const platform::Dialog* FindDialog(const platform::ScriptedPerson& person,
                                   const std::string& caption) {
    for (const auto& i : person.History())
        if (i.kind == platform::Interaction::Kind::Dialog && i.dialog.caption == caption)
            return &i.dialog;
    return nullptr;
}

std::vector<std::string> U1Nets(SwapHost& host, int pins) {
    std::vector<std::string> nets;
    for (int i = 1; i <= pins; ++i) nets.push_back(host.PadNet("U1-" + std::to_string(i)));
    return nets;
}

// Presses Escape once the greedy optimiser has started.
void EscapeDuringGreedy(SwapHost& host) {
    host.App().OnStatus([](int code, const std::string& text) {
        if (code == host::eProgressStart && text == "Local Pin/Net Optimizer...")
            platform::PostMessage(0, platform::WM_KEYDOWN, platform::VK_ESCAPE);
    });
    host.person.ExpectDialog("Confirm", platform::Button::Yes,
                             "Abort Pin/Net Optimization Yes/No?");
}

constexpr int Pins = 60;

TEST(AutoRun, ReportsTheBoardAsItWasSaved) {
    std::string report;
    hostapp::design::DesignData saved;
    std::vector<std::string> before, after;
    {
        SwapHost host(ShuffledFan(Pins, 21));
        platform::SetFixedRandomSeed(8);
        before = U1Nets(host, Pins);
        host.person.ExpectDialog(IterativeCaption, platform::Button::Yes);
        EXPECT_TRUE(RunAutoOptimization(host.BoardPath()));
        EXPECT_EQ(host.person.Remaining(), 0u);
        const platform::Dialog* shown = FindDialog(host.person, ReportCaption);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->kind, platform::DialogKind::Information);
        report = shown->text;
        after = U1Nets(host, Pins);
        saved = host.App().Snapshot();
    }
    EXPECT_NE(after, before);
    for (const std::string& net : saved.board->nets) EXPECT_NE(net, "PinSwapNet");

    SwapHost reopened(std::move(saved));
    TSwapDataSet data(reopened.BoardPath(), smPinSwap);
    double length = 0;
    std::int32_t crossings = 0;
    data.MeasureBoard(length, crossings);
    const std::string lengthText =
        FormatNumber(ToReportUnit(length, BoardReportUnit(&reopened.Board())), 3);

    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(report, m, std::regex(R"(^Length Reduced From [0-9,.]+ To ([0-9,.]+) )")))
        << report;
    EXPECT_EQ(m[1].str(), lengthText);
    ASSERT_TRUE(std::regex_search(report, m, std::regex(R"(Cross-Overs \S+ From \d+ To (\d+) )")))
        << report;
    EXPECT_EQ(m[1].str(), std::to_string(crossings));
}

TEST(AutoRun, AbandonedAfterAnInterruptedGreedyRunChangesNothing) {
    SwapHost host(ShuffledFan(Pins, 22));
    const auto before = U1Nets(host, Pins);
    EscapeDuringGreedy(host);
    host.person.ExpectDialog(InterruptedCaption, platform::Button::No,
                             "This phase of the optimization was interrupted.\r\rDo you wish to "
                             "continue with the partial results?");
    const int redraws = host.Board().Activity().redraws;
    EXPECT_FALSE(RunAutoOptimization(host.BoardPath()));
    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(FindDialog(host.person, ReportCaption), nullptr);
    EXPECT_EQ(FindDialog(host.person, IterativeCaption), nullptr);
    EXPECT_EQ(U1Nets(host, Pins), before);
    EXPECT_GT(host.Board().Activity().redraws, redraws);
    EXPECT_TRUE(AbortRequested);
    EXPECT_EQ(host.Board().FindNet(u"PinSwapNet"), nullptr);
}

TEST(AutoRun, ContinuingAfterAnInterruptionAsksAboutTheIterativeOptimizer) {
    SwapHost host(ShuffledFan(Pins, 23));
    const auto before = U1Nets(host, Pins);
    EscapeDuringGreedy(host);
    host.person.ExpectDialog(InterruptedCaption, platform::Button::Yes);
    host.person.ExpectDialog(IterativeCaption, platform::Button::No);
    EXPECT_TRUE(RunAutoOptimization(host.BoardPath()));
    EXPECT_EQ(host.person.Remaining(), 0u);
    const platform::Dialog* question = FindDialog(host.person, IterativeCaption);
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(std::regex_match(
        question->text,
        std::regex("The fast optimizer has completed [1-9][0-9]* out of 60 swappable pins\\. "
                   "\r\rContinue with iterative optimizer")))
        << question->text;
    // The partial greedy result is applied and reported.
    EXPECT_NE(FindDialog(host.person, ReportCaption), nullptr);
    EXPECT_NE(U1Nets(host, Pins), before);
}

std::string SeededResult() {
    SwapHost host(ShuffledFan(Pins, 24));
    platform::SetFixedRandomSeed(99);
    host.person.ExpectDialog(IterativeCaption, platform::Button::Yes);
    std::string out = RunAutoOptimization(host.BoardPath()) ? "done:" : "abandoned:";
    for (const std::string& net : U1Nets(host, Pins)) out += net + ",";
    const platform::Dialog* report = FindDialog(host.person, ReportCaption);
    if (report) out += report->text.substr(0, report->text.find("Elapsed"));
    return out;
}

TEST(AutoRun, TheSameDesignAndSeedGiveTheSameResult) {
    const auto [first, second] = TwinRuns(SeededResult);
    EXPECT_TRUE(first.starts_with("done:")) << first;
    EXPECT_NE(first.find("Length Reduced"), std::string::npos) << first;
    EXPECT_EQ(first, second);
}

TEST(AutoRun, RunsTheIterativeOptimizerUnaskedWhenTheFastOneSettledNothing) {
    // No net reaches beyond U1: the greedy optimiser finds no pair.
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "N1")
                      .SwapPin("U1", "2", 100, 0, "N2")
                      .SwapPin("U1", "3", 200, 0, "N3")
                      .SwapPin("U1", "4", 300, 0, "N4")
                      .Build());
    platform::SetClock([] { return platform::TimeOfDay{12, 0, 0, 0}; });
    EXPECT_TRUE(RunAutoOptimization(host.BoardPath()));
    EXPECT_EQ(FindDialog(host.person, IterativeCaption), nullptr);
    const platform::Dialog* report = FindDialog(host.person, ReportCaption);
    ASSERT_NE(report, nullptr);
    // Each optimiser counts at least one second.
    EXPECT_TRUE(report->text.ends_with("Elapsed Time: 00:00:02")) << report->text;
}

TEST(AutoRun, ShowsNoReportWhenTheAnalysisStopsTheRun) {
    // No component allows swapping.
    SwapHost host(
        DesignBuilder().FixedPin("U1", "1", 0, 0, "N1").FixedPin("J1", "1", 0, 1000, "N1").Build());
    EXPECT_FALSE(RunAutoOptimization(host.BoardPath()));
    const auto& history = host.person.History();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].dialog.kind, platform::DialogKind::Error);
    EXPECT_TRUE(history[0].dialog.text.starts_with("No Components have been enabled"));
}

TEST(AutoRun, RefusesABoardOutsideAProject) {
    auto design = ShuffledFan(4, 1);
    design.project.reset();
    SwapHost host(std::move(design));
    EXPECT_FALSE(RunAutoOptimization(host.BoardPath()));
    const platform::Dialog* error = FindDialog(host.person, "Error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text, "Pin/Net Optimization requires that the board is part of a PCB Project");
}

TEST(AutoRun, AFailedMoveLeavesNoCopperWithoutNetAndStillReports) {
    SwapHost host(ShuffledFan(Pins, 25));
    platform::SetFixedRandomSeed(3);
    host.person.ExpectDialog(IterativeCaption, platform::Button::Yes);
    host.App().Faults().FailOn("IPCB_Net.AddPCBObject", 2);
    EXPECT_TRUE(RunAutoOptimization(host.BoardPath()));
    const platform::Dialog* error = FindDialog(host.person, "Error");
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->text, "Failed to update PCB Document");
    EXPECT_NE(FindDialog(host.person, ReportCaption), nullptr);
    for (const std::string& net : U1Nets(host, Pins)) EXPECT_NE(net, "");
}

}  // namespace
}  // namespace tessaro::optim_test

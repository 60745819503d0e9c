// The manual commands' driver: its project checks and the result line it leaves in the
// message list, judged against independent measurements of the boards before and after.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "frame/Drivers.h"
#include "frame/Messages.h"
#include "frame/Report.h"
#include "model/Optimizer_Data.h"
#include "plugin/interactive/InteractiveHost.h"

namespace tessaro::testing {
namespace {

struct Measurement {
    double length = 0;
    std::int32_t crossings = 0;
};

// A fresh data set on a board that nobody has touched: what the board's connections measure.
Measurement MeasureFresh(InteractiveHost& host) {
    Measurement m;
    TSwapDataSet dataSet(host.BoardPath(), smPinSwap);
    dataSet.MeasureBoard(m.length, m.crossings);
    return m;
}

std::string Shown(InteractiveHost& host, double boardUnits) {
    return FormatNumber(ToReportUnit(boardUnits, BoardReportUnit(&host.Board())), 3);
}

TEST(ManualSwapReport, TheResultLineMeasuresTheBoardBeforeAndAsWritten) {
    Measurement before;
    std::string line;
    hostapp::design::DesignData written;
    {
        InteractiveHost host("interactive-pins.json");
        before = MeasureFresh(host);
        host.ExpectPadPick("Choose Sub-Net to move", "U1-1")
            .ExpectPadPick("Choose Target Net for Sub-Net U1-1", "U1-2")
            .ExpectCancel("Choose Sub-Net to move");

        ASSERT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

        ASSERT_EQ(host.Messages().size(), 2u);
        EXPECT_EQ(host.Messages()[1].source, "Pin/Net Swapper");
        line = host.Messages()[1].text;
        written = host.App().Snapshot();
    }
    std::smatch m;
    const std::regex format(
        "Length (Reduced|Increased|\\(No Change\\)) From ([-0-9,.]+) To ([-0-9,.]+) "
        "\\(Delta=([-0-9,.]+)\\) mm \r\rCross-Overs (Reduced|Increased|\\(No Change\\)) From "
        "(-?[0-9]+) To (-?[0-9]+) \\(Delta=(-?[0-9]+)\\)");
    ASSERT_TRUE(std::regex_match(line, m, format)) << line;

    // The written design, opened afresh, measures what the line says.
    InteractiveHost reopened(std::move(written));
    const Measurement after = MeasureFresh(reopened);
    EXPECT_EQ(m[2].str(), Shown(reopened, before.length));
    EXPECT_EQ(m[3].str(), Shown(reopened, after.length));
    EXPECT_EQ(m[4].str(), Shown(reopened, before.length - after.length));
    EXPECT_EQ(m[1].str(), LengthVerdict(before.length, after.length));
    EXPECT_EQ(std::stoi(m[6].str()), before.crossings);
    EXPECT_EQ(std::stoi(m[7].str()), after.crossings);
    EXPECT_EQ(std::stoi(m[8].str()), before.crossings - after.crossings);
    EXPECT_EQ(m[5].str(), CrossingVerdict(before.crossings, after.crossings));
    // The board is laid out so that this swap uncrosses U1-1 and U1-2.
    EXPECT_LT(after.length, before.length);
    EXPECT_LT(after.crossings, before.crossings);
}

TEST(ManualSwapReport, AProjectWithUnsavedChangesStopsBeforeAnything) {
    auto design = ReadFixture("interactive-pins.json");
    design.project->saved = false;
    InteractiveHost host(std::move(design));
    host.ExpectError("Project needs to be saved");

    EXPECT_FALSE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Board().Activity().highlightShows, 0);
}

TEST(ManualSwapReport, AStaleCompilationIsCompiledWithoutAsking) {
    auto design = ReadFixture("interactive-pins.json");
    design.project->compiled = false;
    InteractiveHost host(std::move(design));
    host.ExpectCancel("Choose Sub-Net to move");

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.Messages().size(), 1u);
}

// The verdicts and units, on the worked figures: 1 000 000 000 board units are 100 inches or
// 2 540 mm.
struct ReportCase {
    bool metric;
    double before, after;
    std::int32_t crossingsBefore, crossingsAfter;
    const char* expected;
};

class FormatSwapReportCases : public ::testing::TestWithParam<ReportCase> {};

TEST_P(FormatSwapReportCases, FillsTheLine) {
    const ReportCase& c = GetParam();
    auto design = ReadFixture("interactive-pins.json");
    design.board->displayUnit =
        c.metric ? hostapp::design::DisplayUnit::Metric : hostapp::design::DisplayUnit::Imperial;
    InteractiveHost host(std::move(design));
    EXPECT_EQ(
        FormatSwapReport(c.before, c.after, c.crossingsBefore, c.crossingsAfter, &host.Board()),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FormatSwapReportCases,
    ::testing::Values(
        ReportCase{true, 1e9, 8e8, 12, 9,
                   "Length Reduced From 2,540.000 To 2,032.000 (Delta=508.000) mm \r\r"
                   "Cross-Overs Reduced From 12 To 9 (Delta=3)"},
        // Shorter connections, one more crossing.
        ReportCase{true, 1e9, 8e8, 3, 4,
                   "Length Reduced From 2,540.000 To 2,032.000 (Delta=508.000) mm \r\r"
                   "Cross-Overs Increased From 3 To 4 (Delta=-1)"},
        ReportCase{false, 1e9, 1.2e9, 5, 5,
                   "Length Increased From 100.000 To 120.000 (Delta=-20.000) inches \r\r"
                   "Cross-Overs (No Change) From 5 To 5 (Delta=0)"},
        ReportCase{false, 0, 0, 0, 0,
                   "Length (No Change) From 0.000 To 0.000 (Delta=0.000) inches \r\r"
                   "Cross-Overs (No Change) From 0 To 0 (Delta=0)"}));

}  // namespace
}  // namespace tessaro::testing

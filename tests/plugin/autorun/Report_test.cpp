// The text of "Results From Net/Pin Optimization".
#include <gtest/gtest.h>

#include "frame/Drivers.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

struct ReportCase {
    const char* name;
    bool metric;
    double lengthBefore, lengthAfter;
    std::int32_t crossingsBefore, crossingsAfter;
    std::int32_t seconds;
    const char* text;
};

class Report : public ::testing::TestWithParam<ReportCase> {};

TEST_P(Report, IsFilledFromTheTwoMeasurements) {
    const ReportCase c = GetParam();
    DesignBuilder design;
    design.SwapPin("U1", "1", 0, 0, "A");
    if (!c.metric) design.Imperial();
    SwapHost host(design.Build());
    EXPECT_EQ(FormatOptimizationReport(c.lengthBefore, c.lengthAfter, c.crossingsBefore,
                                       c.crossingsAfter, &host.Board(), c.seconds),
              c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Report,
    ::testing::Values(
        ReportCase{"worked_example", true, 1e9, 8e8, 12, 9, 70,
                   "Length Reduced From 2,540.000 To 2,032.000 (Delta=508.000) mm \r\r"
                   "Cross-Overs Reduced From 12 To 9 (Delta=3)\r\rElapsed Time: 00:01:10"},
        ReportCase{"imperial", false, 1e9, 8e8, 12, 9, 2,
                   "Length Reduced From 100.000 To 80.000 (Delta=20.000) inches \r\r"
                   "Cross-Overs Reduced From 12 To 9 (Delta=3)\r\rElapsed Time: 00:00:02"},
        ReportCase{"no_change", true, 5e8, 5e8, 4, 4, 3661,
                   "Length (No Change) From 1,270.000 To 1,270.000 (Delta=0.000) mm \r\r"
                   "Cross-Overs (No Change) From 4 To 4 (Delta=0)\r\rElapsed Time: 01:01:01"},
        ReportCase{"increased", true, 8e8, 1e9, 9, 12, 5,
                   "Length Increased From 2,032.000 To 2,540.000 (Delta=-508.000) mm \r\r"
                   "Cross-Overs Increased From 9 To 12 (Delta=-3)\r\rElapsed Time: 00:00:05"}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tessaro::optim_test

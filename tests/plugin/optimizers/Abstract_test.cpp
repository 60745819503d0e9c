// The run protocol shared by every optimiser: elapsed time across the clock's quirks and
// the status line.
#include <gtest/gtest.h>

#include <deque>

#include "optimizers/Optimizer_Abstract.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

struct ElapsedCase {
    const char* name;
    platform::TimeOfDay start;
    platform::TimeOfDay finish;
    std::int32_t seconds;
    const char* text;
};

class Elapsed : public ::testing::TestWithParam<ElapsedCase> {
  protected:
    void SetUp() override { platform::ResetPlatform(); }
    void TearDown() override { platform::ResetPlatform(); }
};

TEST_P(Elapsed, IsStampedInWholeSecondsAndNeverBelowOne) {
    const ElapsedCase c = GetParam();
    // The clock is read at construction, at Start and when Finish stamps the time.
    std::deque<platform::TimeOfDay> readings{c.start, c.start, c.finish};
    platform::SetClock([&readings] {
        platform::TimeOfDay t = readings.front();
        if (readings.size() > 1) readings.pop_front();
        return t;
    });
    TSwapDataSet data("", smPinSwap);
    auto* optimizer = data.Make<TSwapOptimizer_Abstract>(&data);
    EXPECT_TRUE(optimizer->Run());
    EXPECT_EQ(optimizer->ElapsedSeconds, c.seconds);
    EXPECT_EQ(optimizer->ElapsedText, c.text);
    EXPECT_EQ(optimizer->ElapsedTime.millisecond, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, Elapsed,
    ::testing::Values(
        ElapsedCase{"under_a_second", {10, 0, 0, 100}, {10, 0, 0, 900}, 1, "00:00:00"},
        ElapsedCase{"across_midnight", {23, 59, 50, 0}, {0, 0, 5, 0}, 15, "00:00:15"},
        ElapsedCase{"minutes", {8, 15, 0, 0}, {8, 18, 7, 999}, 187, "00:03:07"},
        ElapsedCase{"hours", {1, 0, 0, 0}, {13, 30, 1, 0}, 45001, "12:30:01"}),
    [](const ::testing::TestParamInfo<ElapsedCase>& info) { return info.param.name; });

TEST(ElapsedText, RunsOfAHundredHoursGrowLonger) {
    EXPECT_EQ(FormatElapsed(100 * 3600 + 61), "100:01:01");
    EXPECT_EQ(FormatElapsed(0), "00:00:00");
}

TEST(Status, ShowsCrossingsCostsAndIterationsInPaneThree) {
    SwapHost host(FanDesign({0, 1}));
    TSwapDataSet data(host.BoardPath(), smPinSwap);
    auto* optimizer = data.Make<TSwapOptimizer_Abstract>(&data);
    data.XOvers = 3;
    data.ConnectionCost = 12345678;
    optimizer->Iterations = 7;
    optimizer->ShowStatus();
    EXPECT_EQ(host.App().StatusPane(3),
              " X-Overs:3 ConnectionCost:12.35 TotalCost:12.50 Iterations:7");
}

}  // namespace
}  // namespace tessaro::optim_test

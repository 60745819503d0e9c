// The greedy optimiser: its choice of pairs, what it settles, and interruption.
#include <gtest/gtest.h>

#include "model/Analyze.h"
#include "optimizers/Optimizer_Greedy.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

std::vector<std::string> PadNets(SwapHost& host, const std::string& designator, int pins) {
    std::vector<std::string> nets;
    for (int i = 1; i <= pins; ++i)
        nets.push_back(host.PadNet(designator + "-" + std::to_string(i)));
    return nets;
}

std::vector<std::string> ModelNets(TSwapDataSet& data, SwapHost& host, int pins) {
    std::vector<std::string> nets;
    for (int i = 1; i <= pins; ++i) {
        TSwapNet* net = SubNetOf(data, host, "U1-" + std::to_string(i))->CurrentNet();
        nets.push_back(net ? net->Name() : "");
    }
    return nets;
}

TEST(Greedy, KeepsNetsThatAreAlreadyNearestAndSettlesEveryPin) {
    SwapHost host(FanDesign({0, 1, 2, 3}));
    auto data = host.Analysed();
    auto* greedy = data->Make<TSwapOptimizer_Greedy>(data.get());
    greedy->Run();
    EXPECT_EQ(ModelNets(*data, host, 4), (std::vector<std::string>{"N1", "N2", "N3", "N4"}));
    EXPECT_EQ(greedy->Iterations, 4);
    EXPECT_EQ(data->CountFixedSubNets(), 4);
}

TEST(Greedy, ExchangesTwoCrossingSubNetsAndSettlesTheFirstChosen) {
    // U1-1 reaches N2 in 900 mil, cheaper than any other choice.
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "N1")
                      .SwapPin("U1", "2", 100, 0, "N2")
                      .FixedPin("J1", "1", 100, 1000, "N1")
                      .FixedPin("J1", "2", 0, 900, "N2")
                      .Build());
    auto data = host.Analysed();
    TSwapSubNet* first = SubNetOf(*data, host, "U1-1");
    TSwapSubNet* second = SubNetOf(*data, host, "U1-2");
    auto* greedy = data->Make<TSwapOptimizer_Greedy>(data.get());

    // One step by hand.
    data->PrepareGroup(first->PinGroup());
    TSwapSubNet* a = nullptr;
    TSwapSubNet* b = nullptr;
    ASSERT_TRUE(greedy->FindClosestPair(first->PinGroup(), a, b));
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);

    greedy->Run();
    EXPECT_EQ(ModelNets(*data, host, 2), (std::vector<std::string>{"N2", "N1"}));
    EXPECT_EQ(greedy->Iterations, 2);
    EXPECT_TRUE(first->Fixed);
    EXPECT_TRUE(second->Fixed);
    // The model changed; the board waits for ApplyChanges.
    EXPECT_EQ(PadNets(host, "U1", 2), (std::vector<std::string>{"N1", "N2"}));
}

TEST(Greedy, NeverTakesANetThatCannotBeReachedOutsideTheGroup) {
    // N3 has no copper but U1-3's own pad: its sub-net has no net point and is never a
    // partner, so it keeps N3 and stays unsettled.
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "N1")
                      .SwapPin("U1", "2", 100, 0, "N2")
                      .SwapPin("U1", "3", 200, 0, "N3")
                      .FixedPin("J1", "1", 100, 1000, "N1")
                      .FixedPin("J1", "2", 0, 1000, "N2")
                      .Build());
    auto data = host.Analysed();
    auto* greedy = data->Make<TSwapOptimizer_Greedy>(data.get());
    greedy->Run();
    TSwapSubNet* loner = SubNetOf(*data, host, "U1-3");
    EXPECT_EQ(loner->CurrentNet()->Name(), "N3");
    EXPECT_FALSE(loner->Fixed);
    EXPECT_EQ(greedy->Iterations, 2);
    EXPECT_EQ(ModelNets(*data, host, 2), (std::vector<std::string>{"N2", "N1"}));
}

TEST(Greedy, ASingleUnsettledSubNetTakesOneStep) {
    SwapHost host(FanDesign({2, 0, 1}));
    auto data = host.Analysed();
    TSwapSubNet* last = SubNetOf(*data, host, "U1-3");
    for (TSwapSubNet* s : data->SwapSubNets) s->Fixed = s != last;
    auto* greedy = data->Make<TSwapOptimizer_Greedy>(data.get());
    greedy->Run();
    EXPECT_EQ(greedy->Iterations, 1);
    EXPECT_TRUE(last->Fixed);
    EXPECT_EQ(last->CurrentNet()->Name(), "N3");
}

TEST(Greedy, AnAbortInAGroupLeavesItsExchangesAndSkipsTheRest) {
    // Two groups of 60; Escape waits in the queue for the next look of the abort check.
    SwapHost host(ShuffledFan(120, 9, 2));
    auto data = host.Analysed();
    ASSERT_EQ(data->PinSwapGroups.size(), 2u);
    TSwapGroup* second = data->PinSwapGroups[1];
    std::vector<std::int32_t> secondBefore;
    for (TSwapSubNet* s : second->SubNets) secondBefore.push_back(s->NetIndex);

    host.person.ExpectDialog("Confirm", platform::Button::Yes,
                             "Abort Pin/Net Optimization Yes/No?");
    platform::PostMessage(0, platform::WM_KEYDOWN, platform::VK_ESCAPE);
    const int stepsToCheck = 50 - AbortCheckCount() % 50;
    auto* greedy = data->Make<TSwapOptimizer_Greedy>(data.get());
    const double before = data->TotalCost();
    greedy->Run();

    EXPECT_TRUE(AbortRequested);
    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(greedy->Iterations, stepsToCheck);
    EXPECT_EQ(data->CountFixedSubNets(), stepsToCheck);
    std::vector<std::int32_t> secondAfter;
    for (TSwapSubNet* s : second->SubNets) secondAfter.push_back(s->NetIndex);
    EXPECT_EQ(secondAfter, secondBefore);
    // Finish still ran.
    EXPECT_EQ(greedy->EndCost, data->TotalCost());
    EXPECT_EQ(greedy->StartCost, before);
    EXPECT_GE(greedy->ElapsedSeconds, 1);
}

}  // namespace
}  // namespace tessaro::optim_test

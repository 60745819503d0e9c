// The iterative optimiser: which groups it searches, its passes and schedule, groups with
// nothing to draw, and repeatability with a fixed seed.
#include <gtest/gtest.h>

#include <regex>

#include "optimizers/Optimizer_Greedy.h"
#include "optimizers/Optimizer_Iterative.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

bool ShownDialogWithText(const platform::ScriptedPerson& person, const std::string& text) {
    for (const auto& i : person.History())
        if (i.dialog.text == text) return true;
    return false;
}

struct SizeCase {
    int pins;
    bool searched;
};

class GroupSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(GroupSize, GroupsOfFewerThanFourAreSkippedSilently) {
    const SizeCase c = GetParam();
    SwapHost host(ShuffledFan(c.pins, 2));
    auto data = host.Analysed();
    // Searching a group would first reset every Fixed flag.
    for (TSwapSubNet* s : data->SwapSubNets) s->Fixed = true;
    auto* iterative = data->Make<TSwapOptimizer_Iterative>(data.get());
    iterative->Run();
    EXPECT_EQ(iterative->Passes > 0, c.searched);
    EXPECT_EQ(data->CountFixedSubNets() == c.pins, !c.searched);
    EXPECT_TRUE(host.person.History().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, GroupSize,
                         ::testing::Values(SizeCase{2, false}, SizeCase{3, false},
                                           SizeCase{4, true}));

TEST(Iterative, UndoesMovesThatChangeNothingAndEndsAfterFourIdlePasses) {
    // No net reaches outside U1: every exchange leaves the cost as it was.
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "N1")
                      .SwapPin("U1", "2", 100, 0, "N2")
                      .SwapPin("U1", "3", 200, 0, "N3")
                      .SwapPin("U1", "4", 300, 0, "N4")
                      .Build());
    auto data = host.Analysed();
    std::vector<std::int32_t> before;
    for (TSwapSubNet* s : data->SwapSubNets) before.push_back(s->NetIndex);
    auto* iterative = data->Make<TSwapOptimizer_Iterative>(data.get());
    iterative->Run();

    const int passLength = 50 * 4 + 1;  // no kept move ends a pass at its limit
    EXPECT_EQ(iterative->Passes, 4);
    EXPECT_EQ(iterative->Stalled, 4);
    EXPECT_EQ(iterative->Moves, 0);
    EXPECT_EQ(iterative->CrossRejections, passLength);
    EXPECT_EQ(iterative->Iterations, 4 * passLength);
    EXPECT_GT(iterative->Temperature, 800.0);
    std::vector<std::int32_t> after;
    for (TSwapSubNet* s : data->SwapSubNets) after.push_back(s->NetIndex);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(host.person.History().empty());
}

// Group 1 (five pins) lies next to its nets, all or all but one: nothing can be drawn there.
// Group 2 (four pins) is tangled and must still be searched.
hostapp::design::DesignData SettledThenTangled(bool oneLeftFree) {
    DesignBuilder b;
    for (int i = 0; i < 5; ++i) {
        const std::string net = "S" + std::to_string(i);
        b.SwapPin("U1", std::to_string(i + 1), i * 100, 0, net, "1");
        b.FixedPin("J1", std::to_string(i + 1), i * 100, (oneLeftFree && i == 2) ? 1000 : 25, net);
    }
    for (int i = 0; i < 4; ++i) {
        const std::string net = "T" + std::to_string(i);
        b.SwapPin("U1", std::to_string(i + 6), 2000 + i * 100, 0, net, "2");
        b.FixedPin("J2", std::to_string(i + 1), 2000 + (3 - i) * 100, 1000, net);
    }
    return b.Build();
}

class NothingToDraw : public ::testing::TestWithParam<bool> {};

TEST_P(NothingToDraw, EndsThatGroupQuietlyAndGoesOn) {
    SwapHost host(SettledThenTangled(GetParam()));
    auto data = host.Analysed();
    ASSERT_EQ(data->PinSwapGroups.size(), 2u);
    ASSERT_EQ(data->PinSwapGroups[0]->SubNets.size(), 5u);
    // As in the automatic run, the greedy optimiser has prepared every group first.
    data->Make<TSwapOptimizer_Greedy>(data.get())->Run();
    auto* iterative = data->Make<TSwapOptimizer_Iterative>(data.get());
    iterative->Run();
    EXPECT_FALSE(ShownDialogWithText(host.person, "Iterative Optimizer Exception"));
    EXPECT_TRUE(host.person.History().empty());
    // The tangled group was searched and untangled.
    EXPECT_EQ(iterative->Group, data->PinSwapGroups[1]);
    EXPECT_GT(iterative->Moves, 0);
    for (int i = 0; i < 4; ++i) {
        TSwapSubNet* s = SubNetOf(*data, host, "U1-" + std::to_string(i + 6));
        EXPECT_EQ(s->CurrentNet()->Name(), "T" + std::to_string(3 - i));
    }
}

INSTANTIATE_TEST_SUITE_P(Groups, NothingToDraw, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "one_left_free" : "all_settled";
                         });

TEST(Iterative, TheScheduleAllowsAtMost135Passes) {
    double temperature = 1000.0;
    int passes = 0;
    double last = 0;
    do {
        last = temperature;
        ++passes;
        temperature = CoolTemperature(temperature);
    } while (temperature >= 1.0);
    EXPECT_EQ(passes, 135);
    EXPECT_EQ(FixedTwo(last), "1.04");
    EXPECT_NEAR(temperature, 0.983, 0.0005);
}

// One seeded run of the iterative optimiser, written down as text.
std::string RunSeeded(std::uint32_t seed) {
    SwapHost host(ShuffledFan(24, 3));
    platform::SetFixedRandomSeed(seed);
    auto data = host.Analysed();
    auto* iterative = data->Make<TSwapOptimizer_Iterative>(data.get());
    iterative->Run();
    std::string out = "moves=" + std::to_string(iterative->Moves) + " nets=";
    for (int i = 1; i <= 24; ++i) {
        TSwapNet* net = SubNetOf(*data, host, "U1-" + std::to_string(i))->CurrentNet();
        out += net->Name() + ",";
    }
    out += " dialogs=" + std::to_string(host.person.History().size());
    out += " status=" + host.App().StatusPane(3);
    return out;
}

TEST(Iterative, AFixedSeedRepeatsTheRun) {
    const auto [first, second] = TwinRuns([] { return RunSeeded(1234); });
    EXPECT_EQ(first, second);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(first, m, std::regex(R"(^moves=(\d+) )"))) << first;
    EXPECT_GT(std::stoi(m[1].str()), 0);
    // No rollback ever missed its totals.
    EXPECT_NE(first.find(" dialogs=0 "), std::string::npos) << first;
    EXPECT_TRUE(std::regex_search(
        first,
        std::regex(
            R"(status=T:\d+\.\d\d Crossovers:-?\d+ Cost:-?\d+\.\d\d Moves:\d+ Iterations:\d+$)")))
        << first;
}

}  // namespace
}  // namespace tessaro::optim_test

// The interactive sub-part (gate) and differential-pair swaps: "RunManualPartSwapper" on a
// quad gate and "RunManualDifferentialPairSwapper" on a part with two pairs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/Drivers.h"
#include "plugin/interactive/InteractiveHost.h"

namespace tessaro::testing {
namespace {

constexpr const char* FirstGatePrompt = "Choose First Sub-Part to Swap";
constexpr const char* SecondGatePrompt = "Choose a different Sub-Part from U1";
constexpr const char* FirstPairPrompt = "Choose First Differential Pair to Swap";

// Gates 1 and 3 of U1, pins in sequence order (A, B, Y); gate 3's pads are not in pad order.
const std::vector<std::string> Gate1{"U1-1", "U1-2", "U1-3"};
const std::vector<std::string> Gate3{"U1-9", "U1-10", "U1-8"};
const std::vector<std::string> Gate1Nets{"A1", "B1", "Y1"};
const std::vector<std::string> Gate3Nets{"A3", "B3", "Y3"};

const std::vector<std::string> PairPads{"U1-1", "U1-2", "U1-3", "U1-4", "U2-1", "U2-2"};
const std::vector<std::string> PairStartNets{"CLK_P", "CLK_N", "DAT_P", "DAT_N", "EXT_P", "EXT_N"};

std::vector<std::string> SwapMessages(const InteractiveHost& host) {
    std::vector<std::string> texts = host.MessageTexts();
    if (!texts.empty()) texts.pop_back();  // the driver's result line
    return texts;
}

TEST(InteractivePartSwap, TwoGatesExchangeTheNetsOfCorrespondingPins) {
    InteractiveHost host("interactive-parts.json");
    host.ExpectPadPick(FirstGatePrompt, "U1-2")
        .ExpectPadPick(SecondGatePrompt, "U1-8")
        .ExpectCancel(FirstGatePrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PartSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(Gate1), Gate3Nets);
    EXPECT_EQ(host.PadNets(Gate3), Gate1Nets);
    EXPECT_EQ(host.PadNets({"U1-4", "U1-5", "U1-6"}), (std::vector<std::string>{"A2", "B2", "Y2"}));
    // The stub of track on U1-1 travels with its pad.
    EXPECT_EQ(host.App().Snapshot().board->tracks[0].net, "A3");
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].text, "Interactive Sub-Part Swap: U1(1) With U1(3)");
    EXPECT_EQ(host.Messages()[0].source, "Part Swapper");
    EXPECT_EQ(host.Messages()[0].document, "parts.pcb");
    EXPECT_EQ(host.Messages()[1].source, "Part Swapper");
}

TEST(InteractivePartSwap, CancellingTheFirstPromptChangesNothing) {
    InteractiveHost host("interactive-parts.json");
    host.ExpectCancel(FirstGatePrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PartSwapCommand));

    EXPECT_EQ(host.PadNets(Gate1), Gate1Nets);
    EXPECT_TRUE(SwapMessages(host).empty());
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].text.find("Cross-Overs (No Change)"), std::string::npos);
}

TEST(InteractivePartSwap, AFirstPickOutsideEverySubPartIsRefused) {
    InteractiveHost host("interactive-parts.json");
    host.ExpectPadPick(FirstGatePrompt, "J1-1")
        .ExpectError("This sub-net is part of an Invalid Sub-Part")
        .ExpectCancel(FirstGatePrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PartSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_TRUE(SwapMessages(host).empty());
}

// Only a different gate of the first one's group may be the second pick.
class InteractivePartSwapRefused : public ::testing::TestWithParam<const char*> {};

TEST_P(InteractivePartSwapRefused, ChangesNothingAndAsksAgain) {
    InteractiveHost host("interactive-parts.json");
    const auto before = host.App().Snapshot().board->components;
    host.ExpectPadPick(FirstGatePrompt, "U1-1")
        .ExpectPadPick(SecondGatePrompt, GetParam())
        .ExpectError("Choose a different Sub-Part of the same group")
        .ExpectCancel(FirstGatePrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PartSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    const auto after = host.App().Snapshot().board->components;
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t c = 0; c < after.size(); ++c)
        for (std::size_t p = 0; p < after[c].pads.size(); ++p)
            EXPECT_EQ(after[c].pads[p].net, before[c].pads[p].net)
                << after[c].designator << "-" << after[c].pads[p].name;
    EXPECT_TRUE(SwapMessages(host).empty());
}

INSTANTIATE_TEST_SUITE_P(SecondPicks, InteractivePartSwapRefused,
                         ::testing::Values("U1-3",    // the same gate
                                           "U2-1",    // a gate of another component's group
                                           "J1-1"));  // copper of no gate

TEST(InteractivePairSwap, TwoPairsExchangePositiveWithPositiveAndNegativeWithNegative) {
    InteractiveHost host("interactive-pairs.json");
    host.ExpectPadPick(FirstPairPrompt, "U1-1")
        .ExpectPadPick("Choose a different Differential Pair from CLK[U1]", "U1-4")
        .ExpectCancel(FirstPairPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PairSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(PairPads),
              (std::vector<std::string>{"DAT_P", "DAT_N", "CLK_P", "CLK_N", "EXT_P", "EXT_N"}));
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].text, "Differential-Pair Swap: CLK With DAT");
    EXPECT_EQ(host.Messages()[0].source, "Part Swapper");
    EXPECT_EQ(host.Messages()[1].source, "Differential Pair Swapper");
}

TEST(InteractivePairSwap, PairsWithDifferentMembersDoNotSwap) {
    InteractiveHost host("interactive-pairs.json");
    // U1-5..7 have no net and no pair name: three members that make no pair.
    host.ExpectPadPick(FirstPairPrompt, "U1-5")
        .ExpectPadPick("Choose a different Differential Pair from [U1]", "U1-1")
        .ExpectError("The Differential Pairs do not have matching pins")
        .ExpectCancel(FirstPairPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PairSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(PairPads), PairStartNets);
    EXPECT_TRUE(SwapMessages(host).empty());
}

class InteractivePairSwapRefused : public ::testing::TestWithParam<const char*> {};

TEST_P(InteractivePairSwapRefused, ChangesNothing) {
    InteractiveHost host("interactive-pairs.json");
    host.ExpectPadPick(FirstPairPrompt, "U1-1")
        .ExpectPadPick("Choose a different Differential Pair from CLK[U1]", GetParam())
        .ExpectError("Choose a different Differential Pair of the same group")
        .ExpectCancel(FirstPairPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PairSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(PairPads), PairStartNets);
    EXPECT_TRUE(SwapMessages(host).empty());
}

INSTANTIATE_TEST_SUITE_P(SecondPicks, InteractivePairSwapRefused,
                         ::testing::Values("U1-2",    // the other line of the same pair
                                           "U2-1"));  // a pair of another component's group

}  // namespace
}  // namespace tessaro::testing

// The interactive pin swap as the person at the screen meets it: "RunManualTessaro" on a
// board with two pin swap groups, picks scripted pad by pad.
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "frame/Drivers.h"
#include "plugin/interactive/HighlightWatcher.h"
#include "plugin/interactive/InteractiveHost.h"

namespace tessaro::testing {
namespace {

constexpr const char* FirstPrompt = "Choose Sub-Net to move";
std::string SecondPrompt(const std::string& pin) {
    return "Choose Target Net for Sub-Net " + pin;
}

const std::vector<std::string> U1Pads{"U1-1", "U1-2", "U1-3", "U1-4", "U1-5", "U1-6"};
const std::vector<std::string> StartNets{"A", "B", "C", "D", "E", ""};
// The stray piece of track on net B, away from every pad.
const platform::BoardPoint StrayTrackB = InteractiveHost::Millimetres(-3.5, 5);

// The last entry is always the driver's result line; the swapper's lines come before it.
std::vector<std::string> SwapMessages(const InteractiveHost& host) {
    std::vector<std::string> texts = host.MessageTexts();
    if (!texts.empty()) texts.pop_back();
    return texts;
}

TEST(InteractivePinSwap, CancellingTheFirstPromptChangesNothing) {
    InteractiveHost host("interactive-pins.json");
    host.ExpectCancel(FirstPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(U1Pads), StartNets);
    ASSERT_EQ(host.Messages().size(), 1u);
    const hostapp::MessageEntry& result = host.Messages()[0];
    EXPECT_EQ(result.source, "Pin/Net Swapper");
    EXPECT_EQ(result.messageClass, "[Information]");
    EXPECT_EQ(result.document, "pins.pcb");
    const std::regex noChange(
        "Length \\(No Change\\) From ([0-9,.]+) To \\1 \\(Delta=0\\.000\\) mm \r\r"
        "Cross-Overs \\(No Change\\) From ([0-9]+) To \\2 \\(Delta=0\\)");
    EXPECT_TRUE(std::regex_match(result.text, noChange)) << result.text;
}

// Where the second pick lands: a pad, or a point of the board.
struct Target {
    std::string pad;
    std::optional<platform::BoardPoint> point;
};

struct TargetCase {
    const char* name;
    Target target;
    const char* error;    // the error box, or nullptr
    const char* message;  // the swapper's message line, or nullptr
    std::vector<std::string> netsAfter;
};

const std::vector<std::string> U1AndU2Swapped{"B", "A", "C", "D", "E", ""};
const char* const SwapOneWithTwo = "Interactive Pin-Swap:U1-1(A) With U1-2(B)";

class InteractivePinSwapTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(InteractivePinSwapTarget, ResolvesTheSecondPickAgainstTheFirstPinsGroup) {
    const TargetCase& c = GetParam();
    InteractiveHost host("interactive-pins.json");
    host.ExpectPadPick(FirstPrompt, "U1-1");
    host.person.ExpectPick(SecondPrompt("U1-1"),
                           c.target.point ? *c.target.point : host.PadPoint(c.target.pad));
    if (c.error) host.ExpectError(c.error);
    host.ExpectCancel(FirstPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(U1Pads), c.netsAfter);
    std::vector<std::string> expected;
    if (c.message) expected.push_back(c.message);
    EXPECT_EQ(SwapMessages(host), expected);
    // The stub of track on U1-1 travels with its pad.
    EXPECT_EQ(host.App().Snapshot().board->tracks[0].net, c.netsAfter[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, InteractivePinSwapTarget,
    ::testing::Values(
        TargetCase{"PinOfTheSameGroup", {"U1-2", {}}, nullptr, SwapOneWithTwo, U1AndU2Swapped},
        TargetCase{
            "FixedPadOnANetOfTheGroup", {"J1-1", {}}, nullptr, SwapOneWithTwo, U1AndU2Swapped},
        TargetCase{"StrayTrackOnANetOfTheGroup",
                   {"", StrayTrackB},
                   nullptr,
                   SwapOneWithTwo,
                   U1AndU2Swapped},
        TargetCase{"PinOfAnotherGroupOnAForeignNet",
                   {"U1-5", {}},
                   "There is no valid swappable sub-net for this net",
                   nullptr,
                   StartNets},
        TargetCase{"PinOfAnotherGroupWithoutNet",
                   {"U1-6", {}},
                   "Invalid Net for this sub-net",
                   nullptr,
                   StartNets},
        // Both picks come down to the first pin's own sub-net: the board stays as it is, the
        // line is still written.
        TargetCase{"CopperOfTheFirstPinsOwnNet",
                   {"J1-2", {}},
                   nullptr,
                   "Interactive Pin-Swap:U1-1(A) With U1-1(A)",
                   StartNets},
        TargetCase{"TheFirstPinItself",
                   {"U1-1", {}},
                   nullptr,
                   "Interactive Pin-Swap:U1-1(A) With U1-1(A)",
                   StartNets}),
    [](const ::testing::TestParamInfo<TargetCase>& info) { return info.param.name; });

TEST(InteractivePinSwap, APinWithoutNetTakesTheNetOfItsPartner) {
    InteractiveHost host("interactive-pins.json");
    host.ExpectPadPick(FirstPrompt, "U1-6")
        .ExpectPadPick(SecondPrompt("U1-6"), "U1-5")
        .ExpectCancel(FirstPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.PadNets({"U1-5", "U1-6"}), (std::vector<std::string>{"", "E"}));
    EXPECT_EQ(SwapMessages(host),
              std::vector<std::string>{"Interactive Pin-Swap:U1-6([No Net]) With U1-5(E)"});
    ASSERT_FALSE(host.Messages().empty());
    EXPECT_EQ(host.Messages()[0].source, "Pin/Net Swapper");
    EXPECT_EQ(host.Messages()[0].document, "pins.pcb");
}

TEST(InteractivePinSwap, AFirstPickWithoutSwappablePinIsRefusedAndAskedAgain) {
    InteractiveHost host("interactive-pins.json");
    host.ExpectPadPick(FirstPrompt, "J1-1")
        .ExpectError("This sub-net has no swappable pin")
        .person.ExpectPick(FirstPrompt, StrayTrackB);
    host.ExpectError("This sub-net has no swappable pin")
        .ExpectPadPick(FirstPrompt, "U1-3")
        .ExpectPadPick(SecondPrompt("U1-3"), "U1-4")
        .ExpectCancel(FirstPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(U1Pads), (std::vector<std::string>{"A", "B", "D", "C", "E", ""}));
    EXPECT_EQ(SwapMessages(host),
              std::vector<std::string>{"Interactive Pin-Swap:U1-3(C) With U1-4(D)"});
}

TEST(InteractivePinSwap, ACancelledSecondPickAsksForANewFirstPick) {
    InteractiveHost host("interactive-pins.json");
    host.ExpectPadPick(FirstPrompt, "U1-1")
        .ExpectCancel(SecondPrompt("U1-1"))
        .ExpectPadPick(FirstPrompt, "U1-2")
        .ExpectPadPick(SecondPrompt("U1-2"), "U1-1")
        .ExpectCancel(FirstPrompt);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    EXPECT_EQ(host.person.Remaining(), 0u);
    EXPECT_EQ(host.PadNets(U1Pads), U1AndU2Swapped);
    EXPECT_EQ(SwapMessages(host),
              std::vector<std::string>{"Interactive Pin-Swap:U1-2(B) With U1-1(A)"});
}

// What the board shows while each prompt waits: the swappable copper for the first pick; for
// the second the copper of the group's other nets, never the first pin's own net.
TEST(InteractivePinSwap, HighlightsTheSwappableCopperThenTheCandidates) {
    InteractiveHost host("interactive-pins.json");
    host.ExpectPadPick(FirstPrompt, "U1-1")
        .ExpectCancel(SecondPrompt("U1-1"))
        .ExpectCancel(FirstPrompt);
    HighlightWatcher watcher(host);

    EXPECT_TRUE(RunManualSwap(host.BoardPath(), PinSwapCommand));

    ASSERT_EQ(watcher.Shown().size(), 3u);
    const HighlightWatcher::Seen swappable{{"U1-1", "U1-2", "U1-3", "U1-4", "U1-5", "U1-6"}, {"A"}};
    EXPECT_EQ(watcher.Shown()[0], swappable);
    EXPECT_EQ(watcher.Shown()[1],
              (HighlightWatcher::Seen{{"J1-1", "J1-3", "J1-4", "U1-2", "U1-3", "U1-4"}, {"B"}}));
    EXPECT_EQ(watcher.Shown()[2], swappable);
}

}  // namespace
}  // namespace tessaro::testing

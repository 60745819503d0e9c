// The three manual swap commands run through the built program: picks given as flags, the
// transcript of what the person saw, and the design written afterwards.
#include <string>
#include <vector>

#include "cli/manual_hook_runner.h"

namespace tessaro::cli_testing {
namespace {

struct ManualCase {
    const char* name;
    const char* command;
    const char* fixture;
    const char* document;  // the board's file name, as the message list names it
    std::vector<std::string> picks;
    std::vector<std::string> prompts;
    const char* swapMessage;
    const char* resultSource;
    std::vector<std::string> pads;
    std::vector<std::string> netsBefore;
    std::vector<std::string> netsAfter;
};

using ManualSwapRun = CommandFolder;

class ManualSwapCommand : public CommandFolder, public ::testing::WithParamInterface<ManualCase> {};

TEST_P(ManualSwapCommand, SwapsOnTheBoardReportsAndWritesTheDesign) {
    const ManualCase& c = GetParam();
    const fs::path design = Fixture(c.fixture);
    const std::string original = ReadText(design);
    const fs::path output = dir_ / "out.json", transcript = dir_ / "t.jsonl";
    std::vector<std::string> args{"run", c.command, design.string()};
    for (const std::string& pick : c.picks) args.insert(args.end(), {"--pick", pick});
    args.insert(args.end(), {"--transcript", transcript.string(), "--output", output.string()});

    const Outcome r = Run(args);

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadText(design), original) << "the input design is never overwritten";
    const nlohmann::json before = nlohmann::json::parse(original);
    const nlohmann::json after = nlohmann::json::parse(ReadText(output));
    EXPECT_EQ(PadNets(before, c.pads), c.netsBefore);
    EXPECT_EQ(PadNets(after, c.pads), c.netsAfter);

    // The picks as asked, the swapper's line, the closing pick, the driver's result line.
    std::vector<nlohmann::json> events;
    for (const nlohmann::json& event : JsonLines(ReadText(transcript)))
        if (event.at("event") != "status") events.push_back(event);
    ASSERT_EQ(events.size(), 5u) << ReadText(transcript);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(events[i].at("event"), "pick");
        EXPECT_EQ(events[i].at("prompt"), c.prompts[i]);
        EXPECT_EQ(events[i].at("answer"), c.picks[i]);
    }
    EXPECT_EQ(events[2].at("event"), "message");
    EXPECT_EQ(events[2].at("text"), c.swapMessage);
    EXPECT_EQ(events[2].at("class"), "[Information]");
    EXPECT_EQ(events[2].at("document"), c.document);
    EXPECT_EQ(events[3].at("prompt"), c.prompts[0]);
    EXPECT_EQ(events[3].at("answer"), "cancel");
    EXPECT_EQ(events[4].at("source"), c.resultSource);
    // Each fixture starts crossed; the swap uncrosses it.
    const std::string line = events[4].at("text");
    EXPECT_EQ(line.rfind("Length Reduced From ", 0), 0u) << line;
    EXPECT_NE(line.find(" mm \r\rCross-Overs Reduced From "), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ManualSwapCommand,
    ::testing::Values(ManualCase{"PinSwap",
                                 "RunManualTessaro",
                                 "interactive-pins.json",
                                 "pins.pcb",
                                 {"U1-1", "U1-2"},
                                 {"Choose Sub-Net to move", "Choose Target Net for Sub-Net U1-1"},
                                 "Interactive Pin-Swap:U1-1(A) With U1-2(B)",
                                 "Pin/Net Swapper",
                                 {"U1-1", "U1-2", "U1-3"},
                                 {"A", "B", "C"},
                                 {"B", "A", "C"}},
                      ManualCase{
                          "GateSwap",
                          "RunManualPartSwapper",
                          "interactive-parts.json",
                          "parts.pcb",
                          {"U1-1", "U1-4"},
                          {"Choose First Sub-Part to Swap", "Choose a different Sub-Part from U1"},
                          "Interactive Sub-Part Swap: U1(1) With U1(2)",
                          "Part Swapper",
                          {"U1-1", "U1-2", "U1-3", "U1-4", "U1-5", "U1-6", "U1-9"},
                          {"A1", "B1", "Y1", "A2", "B2", "Y2", "A3"},
                          {"A2", "B2", "Y2", "A1", "B1", "Y1", "A3"}},
                      ManualCase{"DifferentialPairSwap",
                                 "RunManualDifferentialPairSwapper",
                                 "interactive-pairs.json",
                                 "pairs.pcb",
                                 {"U1-2", "U1-3"},
                                 {"Choose First Differential Pair to Swap",
                                  "Choose a different Differential Pair from CLK[U1]"},
                                 "Differential-Pair Swap: CLK With DAT",
                                 "Differential Pair Swapper",
                                 {"U1-1", "U1-2", "U1-3", "U1-4", "U2-1"},
                                 {"CLK_P", "CLK_N", "DAT_P", "DAT_N", "EXT_P"},
                                 {"DAT_P", "DAT_N", "CLK_P", "CLK_N", "EXT_P"}}),
    [](const ::testing::TestParamInfo<ManualCase>& info) { return info.param.name; });

TEST_F(ManualSwapRun, WithNothingSwappedReportsNoChange) {
    const fs::path design = Fixture("interactive-pins.json");
    const fs::path output = dir_ / "out.json", transcript = dir_ / "t.jsonl";

    const Outcome r = Run({"run", "RunManualTessaro", design.string(), "--pick", "cancel",
                           "--transcript", transcript.string(), "--output", output.string()});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> pads{"U1-1", "U1-2", "U1-3", "U1-4", "U1-5", "U1-6"};
    EXPECT_EQ(PadNets(nlohmann::json::parse(ReadText(output)), pads),
              PadNets(nlohmann::json::parse(ReadText(design)), pads));
    std::vector<nlohmann::json> messages;
    for (const nlohmann::json& event : JsonLines(ReadText(transcript)))
        if (event.at("event") == "message") messages.push_back(event);
    ASSERT_EQ(messages.size(), 1u);
    const std::string line = messages[0].at("text");
    EXPECT_EQ(line.rfind("Length (No Change) From ", 0), 0u) << line;
    EXPECT_NE(line.find("(Delta=0.000) mm \r\rCross-Overs (No Change) From "), std::string::npos)
        << line;
    EXPECT_TRUE(line.ends_with(" (Delta=0)")) << line;
}

TEST_F(ManualSwapRun, ARefusedTargetChangesNothing) {
    const fs::path design = Fixture("interactive-pins.json");
    const fs::path output = dir_ / "out.json", transcript = dir_ / "t.jsonl";

    const Outcome r =
        Run({"run", "RunManualTessaro", design.string(), "--pick", "U1-1", "--pick", "U1-5",
             "--transcript", transcript.string(), "--output", output.string()});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(PadNets(nlohmann::json::parse(ReadText(output)), {"U1-1", "U1-5"}),
              (std::vector<std::string>{"A", "E"}));
    bool shown = false;
    for (const nlohmann::json& event : JsonLines(ReadText(transcript)))
        if (event.at("event") == "dialog") {
            EXPECT_EQ(event.at("kind"), "error");
            EXPECT_EQ(event.at("text"), "There is no valid swappable sub-net for this net");
            shown = true;
        }
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace tessaro::cli_testing

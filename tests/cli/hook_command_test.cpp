// `tessaro hook` through the built program: the plug-in's router hook asked about the pads of
// small boards, one JSON line per answer.
#include <string>
#include <vector>

#include "cli/manual_hook_runner.h"

namespace tessaro::cli_testing {
namespace {

using HookCommand = CommandFolder;

TEST_F(HookCommand, AnswersPinModeQueriesInOrder) {
    const Outcome r = Run({"hook", Fixture("interactive-pins.json").string(), "swappable", "U1-1",
                           "candidates", "U1-3", "can-swap", "U1-1", "U1-1", "can-swap", "U1-1",
                           "U1-5", "can-swap", "U1-2", "J1-1", "subparts", "U1-1"});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{
                  R"({"query":"open","opened":true})",
                  R"({"query":"swappable","pad":"U1-1","found":true})",
                  R"({"query":"candidates","pad":"U1-3","pads":["U1-1","U1-2","U1-3","U1-4"]})",
                  R"({"query":"can-swap","pads":["U1-1","U1-1"],"allowed":true})",
                  R"({"query":"can-swap","pads":["U1-1","U1-5"],"allowed":false})",
                  R"({"query":"can-swap","pads":["U1-2","J1-1"],"allowed":false})",
                  R"({"query":"subparts","pad":"U1-1","subparts":null})"}));
}

TEST_F(HookCommand, AnswersPairModeQueries) {
    const Outcome r =
        Run({"hook", Fixture("interactive-pairs.json").string(), "--pair-mode", "subparts", "U1-3",
             "can-swap", "U1-1", "U1-2", "can-swap", "U1-1", "U1-4", "candidates", "U1-1"});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        Lines(r.out),
        (std::vector<std::string>{
            R"({"query":"open","opened":true})",
            R"({"query":"subparts","pad":"U1-3","subparts":[["U1-2","U1-1"],["U1-4","U1-3"]]})",
            R"({"query":"can-swap","pads":["U1-1","U1-2"],"allowed":false})",
            R"({"query":"can-swap","pads":["U1-1","U1-4"],"allowed":true})",
            R"({"query":"candidates","pad":"U1-1","pads":[]})"}));
}

TEST_F(HookCommand, ABoardOutsideEveryProjectIsNotOpened) {
    const Outcome r = Run({"hook", Fixture("interactive-noproject.json").string(), "swappable",
                           "U1-1", "candidates", "U1-1"});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{R"({"query":"open","opened":false})",
                                        R"({"query":"swappable","pad":"U1-1","found":false})",
                                        R"({"query":"candidates","pad":"U1-1","pads":[]})"}));
}

TEST_F(HookCommand, WritesTheMessagesOfTheAnalysisToTheTranscript) {
    // A pad without schematic pin: the hook lists it in the message list instead of asking.
    const fs::path design = Fixture("interactive-pins.json");
    nlohmann::json data = nlohmann::json::parse(ReadText(design));
    auto& u1 = data["board"]["components"][0];
    ASSERT_EQ(u1["designator"], "U1");
    u1["pads"].push_back({{"name", "7"},
                          {"at", {12, 0}},
                          {"layer", "top"},
                          {"shape", "rect"},
                          {"size", {1, 1}},
                          {"net", ""}});
    std::ofstream(design, std::ios::trunc) << data.dump(2);
    const fs::path transcript = dir_ / "t.jsonl";

    const Outcome r =
        Run({"hook", design.string(), "--transcript", transcript.string(), "swappable", "U1-7"});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{R"({"query":"open","opened":true})",
                                        R"({"query":"swappable","pad":"U1-7","found":false})"}));
    std::vector<std::string> texts;
    for (const nlohmann::json& event : JsonLines(ReadText(transcript))) {
        if (event.at("event") != "message") continue;
        EXPECT_EQ(event.at("document"), "pins.pcb");
        texts.push_back(event.at("text"));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"PCB Pin 7 cannot be matched to a schematic pin",
                                               "1 Pins could not be matched to Schematic Pins"}));
}

TEST_F(HookCommand, RefusesUnknownPadsAndBadDesignsWithTwo) {
    const fs::path design = Fixture("interactive-pins.json");
    const Outcome unknownPad =
        Run({"hook", design.string(), "swappable", "U1-1", "can-swap", "U1-1", "U7-3"});
    EXPECT_EQ(unknownPad.exitCode, 2);
    EXPECT_EQ(unknownPad.out, "") << "nothing is answered when a query cannot be";
    EXPECT_NE(unknownPad.err.find("U7-3"), std::string::npos) << unknownPad.err;

    const Outcome unknownQuery = Run({"hook", design.string(), "swap", "U1-1"});
    EXPECT_EQ(unknownQuery.exitCode, 2);
    EXPECT_EQ(unknownQuery.out, "");

    const fs::path broken = dir_ / "broken.json";
    std::ofstream(broken) << "{\"format\": \"tessaro-design\", \"version\": 1, \"colour\": 3}";
    const Outcome badDesign = Run({"hook", broken.string(), "swappable", "U1-1"});
    EXPECT_EQ(badDesign.exitCode, 2);
    EXPECT_NE(badDesign.err.find("broken.json"), std::string::npos) << badDesign.err;
}

}  // namespace
}  // namespace tessaro::cli_testing

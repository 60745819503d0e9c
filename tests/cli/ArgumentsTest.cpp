#include <gtest/gtest.h>

#include <sstream>

#include "cli/Arguments.h"

using namespace cli;
using platform::Button;

namespace {

struct Parsed {
    Invocation inv;
    std::string out, err;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tessaro");
    std::ostringstream out, err;
    Parsed p{ParseArguments(args, out, err), "", ""};
    p.out = out.str();
    p.err = err.str();
    return p;
}

TEST(ArgumentsTest, RunTakesEveryOptionOfTheContract) {
    auto p = Parse({"run",
                    "RunManualTessaro",
                    "demo.json",
                    "--document",
                    "demo.pcb",
                    "--parameters",
                    "ContextSensitive=True|UniqueId=C0FFEE01",
                    "--answer",
                    "Confirm=No",
                    "--pick",
                    "U1-5",
                    "--answer",
                    "Results=OK",
                    "--pick",
                    "1.5,-2",
                    "--pick",
                    "cancel",
                    "--yes",
                    "--escape-after",
                    "120",
                    "--seed",
                    "7",
                    "--test-mode",
                    "--options",
                    "o.json",
                    "--output",
                    "out.json",
                    "--transcript",
                    "t.jsonl",
                    "--svg",
                    "b.svg"});
    ASSERT_FALSE(p.inv.exitCode) << p.err;
    ASSERT_EQ(p.inv.subcommand, Invocation::Subcommand::Run);
    const RunOptions& r = p.inv.run;
    EXPECT_EQ(r.command, "RunManualTessaro");
    EXPECT_EQ(r.designPath, "demo.json");
    EXPECT_EQ(r.document, "demo.pcb");
    EXPECT_EQ(r.parameters, "ContextSensitive=True|UniqueId=C0FFEE01");
    ASSERT_EQ(r.answers.size(), 2u);
    EXPECT_EQ(r.answers[0].caption, "Confirm");
    EXPECT_EQ(r.answers[0].button, Button::No);
    EXPECT_EQ(r.answers[1].caption, "Results");
    ASSERT_EQ(r.picks.size(), 3u);
    EXPECT_EQ(r.picks[0].kind, PickRef::Kind::Pad);
    EXPECT_EQ(r.picks[0].text, "U1-5");
    EXPECT_EQ(r.picks[1].kind, PickRef::Kind::Point);
    EXPECT_DOUBLE_EQ(r.picks[1].x, 1.5);
    EXPECT_DOUBLE_EQ(r.picks[1].y, -2);
    EXPECT_EQ(r.picks[2].kind, PickRef::Kind::Cancel);
    EXPECT_EQ(r.defaultAnswer, DefaultAnswer::Yes);
    EXPECT_EQ(r.escapeAfter, 120u);
    EXPECT_EQ(r.seed, 7u);
    EXPECT_TRUE(r.testMode);
    EXPECT_EQ(r.optionsPath, "o.json");
    EXPECT_EQ(r.outputPath, "out.json");
    EXPECT_EQ(r.transcriptPath, "t.jsonl");
    EXPECT_EQ(r.svgPath, "b.svg");
}

TEST(ArgumentsTest, RunDefaultsLeaveEverythingUnset) {
    auto p = Parse({"run", "RunAutoTessaro", "demo.json"});
    ASSERT_FALSE(p.inv.exitCode) << p.err;
    const RunOptions& r = p.inv.run;
    EXPECT_EQ(r.defaultAnswer, DefaultAnswer::None);
    EXPECT_FALSE(r.escapeAfter);
    EXPECT_FALSE(r.seed);
    EXPECT_FALSE(r.testMode);
    EXPECT_TRUE(r.outputPath.empty());
    EXPECT_TRUE(r.document.empty());
}

TEST(ArgumentsTest, BadArgumentsExitWithTwoAndSayWhy) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"run", "RunAutoTessaro"},
        {"run", "RunAutoTessaro", "d.json", "--yes", "--no"},
        {"run", "RunAutoTessaro", "d.json", "--answer", "Confirm"},
        {"run", "RunAutoTessaro", "d.json", "--answer", "Confirm=Maybe"},
        {"run", "RunAutoTessaro", "d.json", "--answer", "=Yes"},
        {"run", "RunAutoTessaro", "d.json", "--pick", "1,x"},
        {"run", "RunAutoTessaro", "d.json", "--pick", "U1"},
        {"run", "RunAutoTessaro", "d.json", "--escape-after", "-1"},
        {"run", "RunAutoTessaro", "d.json", "--seed", "many"},
        {"run", "RunAutoTessaro", "d.json", "--seed", "-3"},
        {"generate", "--seed", "-1", "--output", "g.json"},
        {"render", "d.json"},
        {"generate", "--banks", "-2", "--output", "g.json"},
        {"hook", "d.json", "swappable"},
        {"hook", "d.json", "explode", "U1-1"},
    };
    for (const auto& args : cases) {
        auto p = Parse(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        ASSERT_TRUE(p.inv.exitCode) << joined;
        EXPECT_EQ(*p.inv.exitCode, ExitBadArguments) << joined;
        EXPECT_FALSE(p.err.empty()) << joined;
    }
}

TEST(ArgumentsTest, HelpExitsWithZero) {
    auto p = Parse({"run", "--help"});
    ASSERT_TRUE(p.inv.exitCode);
    EXPECT_EQ(*p.inv.exitCode, ExitRan);
    EXPECT_NE(p.out.find("--escape-after"), std::string::npos);
}

TEST(ArgumentsTest, AnswerButtonsAndCaptions) {
    struct Case {
        const char* text;
        const char* caption;
        Button button;
    };
    const Case cases[] = {
        {"Confirm=yes", "Confirm", Button::Yes},
        {"Abort Pin/Net Optimization=NO", "Abort Pin/Net Optimization", Button::No},
        {"Results=Ok", "Results", Button::OK},
        {"a=b=cancel", "a=b", Button::Cancel},  // only the last "=" ends the caption
    };
    for (const auto& c : cases) {
        AnswerRule rule = ParseAnswerRule(c.text);
        EXPECT_EQ(rule.caption, c.caption) << c.text;
        EXPECT_EQ(rule.button, c.button) << c.text;
    }
}

TEST(ArgumentsTest, PicksAreCancelPointsOrPads) {
    EXPECT_EQ(ParsePickRef("CANCEL").kind, PickRef::Kind::Cancel);
    EXPECT_EQ(ParsePickRef("J12-A3").kind, PickRef::Kind::Pad);
    auto point = ParsePickRef(" 10 , 2.25");
    EXPECT_EQ(point.kind, PickRef::Kind::Point);
    EXPECT_DOUBLE_EQ(point.x, 10);
    EXPECT_DOUBLE_EQ(point.y, 2.25);
    EXPECT_EQ(point.text, " 10 , 2.25");
    for (const char* bad : {"1,", ",1", "1,2,3", "nan,1", "inf,0", "-5", "U1-"})
        EXPECT_THROW(ParsePickRef(bad), std::invalid_argument) << bad;
}

TEST(ArgumentsTest, NegativePointsAreTakenAsPicksNotOptions) {
    auto p = Parse({"run", "RunManualTessaro", "d.json", "--pick", "-1.5,-2"});
    ASSERT_FALSE(p.inv.exitCode) << p.err;
    ASSERT_EQ(p.inv.run.picks.size(), 1u);
    EXPECT_DOUBLE_EQ(p.inv.run.picks[0].x, -1.5);
}

TEST(ArgumentsTest, OptionsBeforeThePositionalsTakeOneValueEach) {
    auto p =
        Parse({"run", "--answer", "Confirm=Yes", "--pick", "U1-1", "RunAutoTessaro", "d.json"});
    ASSERT_FALSE(p.inv.exitCode) << p.err;
    EXPECT_EQ(p.inv.run.command, "RunAutoTessaro");
    EXPECT_EQ(p.inv.run.designPath, "d.json");
    EXPECT_EQ(p.inv.run.answers.size(), 1u);
    EXPECT_EQ(p.inv.run.picks.size(), 1u);
}

TEST(ArgumentsTest, HookQueriesGroupByTheirVerbs) {
    using V = std::vector<std::string>;
    EXPECT_EQ(GroupHookQueries(V{"swappable", "U1-1", "can-swap", "U1-1", "U1-2", "subparts",
                                 "U2-3", "candidates", "U1-4"}),
              (V{"swappable U1-1", "can-swap U1-1 U1-2", "subparts U2-3", "candidates U1-4"}));
    EXPECT_EQ(GroupHookQueries(V{"can-swap U1-1  U1-2", "swappable U1-1"}),
              (V{"can-swap U1-1 U1-2", "swappable U1-1"}))
        << "quoted queries split into the same words";
    EXPECT_THROW(GroupHookQueries(V{"can-swap", "U1-1", "swappable", "U1-2"}),
                 std::invalid_argument);

    auto p =
        Parse({"hook", "d.json", "--pair-mode", "candidates", "U1-1", "--transcript", "h.jsonl"});
    ASSERT_FALSE(p.inv.exitCode) << p.err;
    EXPECT_EQ(p.inv.subcommand, Invocation::Subcommand::Hook);
    EXPECT_EQ(p.inv.hook.designPath, "d.json");
    EXPECT_TRUE(p.inv.hook.pairMode);
    EXPECT_EQ(p.inv.hook.transcriptPath, "h.jsonl");
    EXPECT_EQ(p.inv.hook.queries, V{"candidates U1-1"});
}

TEST(ArgumentsTest, RenderAndGenerate) {
    auto r = Parse({"render", "d.json", "--output", "d.svg"});
    ASSERT_FALSE(r.inv.exitCode) << r.err;
    EXPECT_EQ(r.inv.subcommand, Invocation::Subcommand::Render);
    EXPECT_EQ(r.inv.render.designPath, "d.json");
    EXPECT_EQ(r.inv.render.outputPath, "d.svg");

    auto g = Parse({"generate", "--seed", "9", "--banks", "2", "--pins-per-bank", "8", "--memories",
                    "0", "--connectors", "1", "--resistor-networks", "3", "--differential-pairs",
                    "5", "--output", "g.json"});
    ASSERT_FALSE(g.inv.exitCode) << g.err;
    const auto& o = g.inv.generate.generator;
    EXPECT_EQ(o.seed, 9u);
    EXPECT_EQ(o.banks, 2);
    EXPECT_EQ(o.pinsPerBank, 8);
    EXPECT_EQ(o.memories, 0);
    EXPECT_EQ(o.connectors, 1);
    EXPECT_EQ(o.resistorNetworks, 3);
    EXPECT_EQ(o.differentialPairs, 5);
    EXPECT_EQ(g.inv.generate.outputPath, "g.json");

    auto d = Parse({"generate", "--output", "g.json"});
    ASSERT_FALSE(d.inv.exitCode) << d.err;
    EXPECT_EQ(d.inv.generate.generator.banks, generator::GeneratorOptions{}.banks);
}

}  // namespace

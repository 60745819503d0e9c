// Parameter texts: how pairs are parsed, matched, written and looked up by the commands.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "frame/Parameters.h"

namespace tessaro {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs PairsOf(const TParameterList& list) {
    Pairs pairs;
    for (const auto& parameter : list.Items())
        pairs.emplace_back(parameter->Name, parameter->Value);
    return pairs;
}

TParameterList Parsed(const std::string& text) {
    TParameterList list;
    list.ParseParameters(text);
    return list;
}

struct ParseCase {
    std::string text;
    Pairs expected;
};

class ParseParametersTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseParametersTest, GivesThePairsOfTheText) {
    EXPECT_EQ(PairsOf(Parsed(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseParametersTest,
    ::testing::Values(ParseCase{"ContextSensitive=True|UniqueId=ABC",
                                {{"ContextSensitive", "True"}, {"UniqueId", "ABC"}}},
                      ParseCase{"A=1=2", {{"A", "1=2"}}},   // later "=" is value
                      ParseCase{"Flag|B=2", {{"B", "2"}}},  // a pair without "="
                      ParseCase{"NoPairsHere", {}},         // no "=" at all
                      ParseCase{"", {}},                    //
                      ParseCase{"  Name  =  a value  ",
                                {{"Name", "a value"}}},              // trimmed, inner kept
                      ParseCase{"\tA\r\n=\n1\t", {{"A", "1"}}},      // control chars are padding
                      ParseCase{"=orphan|  =x|B=1", {{"B", "1"}}},   // empty names dropped
                      ParseCase{"A=|B=x", {{"A", ""}, {"B", "x"}}},  // empty value kept
                      ParseCase{"UniqueId=1|UniqueId=2", {{"UniqueId", "1"}, {"UniqueId", "2"}}},
                      ParseCase{"A=1|", {{"A", "1"}}},  // an empty last pair
                      ParseCase{"|||", {}}, ParseCase{"A=1|B", {{"A", "1"}}},
                      // Bytes above 127 are text, not padding, at either end.
                      ParseCase{"N\xC3\xA9=\xC3\xA9 ", {{"N\xC3\xA9", "\xC3\xA9"}}},
                      // The host's texts end at a zero.
                      ParseCase{std::string("A=1\0B=2", 7), {{"A", "1"}}}));

TEST(ParameterListTest, ParsingReplacesThePreviousContent) {
    TParameterList list = Parsed("A=1|B=2");
    list.ParseParameters("C=3");
    EXPECT_EQ(PairsOf(list), (Pairs{{"C", "3"}}));
}

struct FindCase {
    std::string name;
    bool found;
    std::string value;
};

class FindParameterTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindParameterTest, MatchesNamesWithoutAsciiCaseAndControlEnds) {
    const TParameterList list =
        Parsed("contextsensitive = true|UniqueId=first|UniqueId=second|N\xC3\xA9=accent");
    const TParameter* parameter = list.FindParameter(GetParam().name);
    ASSERT_EQ(parameter != nullptr, GetParam().found);
    std::string value = "stale";
    EXPECT_EQ(list.GetParameterValue(GetParam().name, value), GetParam().found);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FindParameterTest,
    ::testing::Values(FindCase{"ContextSensitive", true, "true"},
                      FindCase{"CONTEXTSENSITIVE", true, "true"},
                      FindCase{"UniqueId", true, "first"},  // the first pair wins
                      FindCase{"\tUniqueId\r\n", true, "first"},
                      FindCase{" UniqueId", false, ""},  // a space is not a control char
                      FindCase{"Unique", false, ""}, FindCase{"UniqueIdX", false, ""},
                      FindCase{"", false, ""},
                      FindCase{"N\xC3\x89", false, ""},  // only a to z fold
                      FindCase{"n\xC3\xA9", true, "accent"}));

struct WriteCase {
    Pairs pairs;
    std::string expected;
};

class WriteParametersTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteParametersTest, WritesPairsBackAndReadsThemAgain) {
    TParameterList list;
    for (const auto& [name, value] : GetParam().pairs) list.AddParameter(name, value);
    std::string buffer = "left over";
    list.WriteParameters(buffer);
    EXPECT_EQ(buffer, GetParam().expected);
    EXPECT_EQ(PairsOf(Parsed(buffer)), PairsOf(list));
}

INSTANTIATE_TEST_SUITE_P(Lists, WriteParametersTest,
                         ::testing::Values(WriteCase{{{"A", ""}, {"B", "x"}}, "A= |B=x"},
                                           WriteCase{{}, ""},
                                           WriteCase{{{" Pin_1 ", " a b "}}, "Pin_1=a b"},
                                           WriteCase{{{"", "dropped"}, {"K", "v"}}, "K=v"},
                                           WriteCase{{{"K", "1"}, {"k", "2"}}, "K=1|k=2"}));

TEST(ParameterListTest, ClearRemovesEveryPair) {
    TParameterList list = Parsed("A=1|B=2");
    list.ClearParameters();
    EXPECT_TRUE(list.Items().empty());
    EXPECT_EQ(list.FindParameter("A"), nullptr);
}

struct SetCase {
    std::string buffer;
    std::string name;
    std::string value;
    std::string expected;
};

class SetCommandParameterTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetCommandParameterTest, SetsTheFirstMatchingPairOrAppends) {
    std::string buffer = GetParam().buffer;
    SetCommandParameter(buffer, GetParam().name, GetParam().value);
    EXPECT_EQ(buffer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, SetCommandParameterTest,
    ::testing::Values(SetCase{"A=1|B=2", "b", " 3 ", "A=1|B=3"},  // stored name kept
                      SetCase{"A=1", "C", "", "A=1|C= "}, SetCase{"", "X", "y", "X=y"},
                      SetCase{"A=1|A=2", "A", "3", "A=3|A=2"},
                      SetCase{"Junk|A=1", "A", "2", "A=2"},  // rewritten from the pairs
                      SetCase{"A=1", " A ", "2", "A=2"}));   // a padded name finds its pair

TEST(GetCommandParameterTest, AbsentOrEmptyTextFindsNothing) {
    std::string value = "stale";
    EXPECT_FALSE(GetCommandParameter(nullptr, "UniqueId", value));
    EXPECT_EQ(value, "");
    value = "stale";
    EXPECT_FALSE(GetCommandParameter("", "UniqueId", value));
    EXPECT_EQ(value, "");
}

TEST(GetCommandParameterTest, FollowsEveryChangeOfTheText) {
    std::string value;
    ASSERT_TRUE(GetCommandParameter("UniqueId=ABC|UniqueId=DEF", "uniqueid", value));
    EXPECT_EQ(value, "ABC");
    EXPECT_FALSE(GetCommandParameter("UniqueId=ABC|UniqueId=DEF", "ContextSensitive", value));
    EXPECT_EQ(value, "");
    ASSERT_TRUE(GetCommandParameter("ContextSensitive=True", "ContextSensitive", value));
    EXPECT_EQ(value, "True");
    EXPECT_FALSE(GetCommandParameter("ContextSensitive=True", "UniqueId", value));
    ASSERT_TRUE(GetCommandParameter("UniqueId=ABC|UniqueId=DEF", "UniqueId", value));
    EXPECT_EQ(value, "ABC");
}

TEST(GetCommandParameterTest, ReadsABufferAgainAfterItChangedInPlace) {
    char buffer[32];
    std::strcpy(buffer, "UniqueId=ABC");
    std::string value;
    ASSERT_TRUE(GetCommandParameter(buffer, "UniqueId", value));
    EXPECT_EQ(value, "ABC");
    std::strcpy(buffer, "UniqueId=XYZ");
    ASSERT_TRUE(GetCommandParameter(buffer, "UniqueId", value));
    EXPECT_EQ(value, "XYZ");
    std::strcpy(buffer, "Other=1");
    EXPECT_FALSE(GetCommandParameter(buffer, "UniqueId", value));
}

}  // namespace
}  // namespace tessaro

#include "platform/PlatformFixture.h"

using namespace platform;

namespace {

using TextTest = PlatformTest;

int Sign(int v) {
    return (v > 0) - (v < 0);
}

TEST_F(TextTest, CompareTextFoldsOnlyAsciiLetters) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"RunAutoTessaro", "runautotessaro", 0},
        {"abc", "ABD", -1},
        {"ABD", "abc", 1},
        {"ab", "abc", -1},  // a prefix orders first
        {"", "", 0},
        {"a", "_", -1},  // "a" folds to "A" (65) before "_" (95); bytes alone say after
        {"\xC3\xA9", "\xC3\x89", 1},  // é and É are not folded
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(CompareText(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareText(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
        EXPECT_EQ(SameText(c.a, c.b), c.sign == 0);
    }
}

TEST_F(TextTest, WidenAndNarrowRoundTripEveryPlane) {
    // ASCII, Latin-1, the Greek micro, CJK, and an emoji outside the basic plane.
    const std::string text =
        "R1 \xC2\xB5"
        "F \xC3\xA9t\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80";
    std::u16string wide = Widen(text);
    EXPECT_EQ(wide, u"R1 \u00B5F \u00E9t\u00E9 \u4E2D \U0001F600");
    EXPECT_EQ(Narrow(wide), text);
    EXPECT_EQ(Narrow(Widen("")), "");
}

TEST_F(TextTest, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        std::string utf8;
        std::u16string wide;
    };
    const Case cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},          // a byte that never starts a sequence
        {"a\xC3", u"a\uFFFD"},  // a sequence cut off at the end
        {"\xE4\xB8"
         "x",
         u"\uFFFDx"},                   // cut off by an ASCII byte, which survives
        {"\xC0\xAF", u"\uFFFD\uFFFD"},  // an overlong "/"
        {"\xED\xA0\x80", u"\uFFFD"},    // an encoded surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(Widen(c.utf8), c.wide) << c.utf8;

    EXPECT_EQ(Narrow(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x\xEF\xBF\xBDy");
    EXPECT_EQ(Narrow(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST_F(TextTest, SeparatorsDefaultToCommaAndPointAndCanBeSet) {
    EXPECT_EQ(ThousandSeparator(), ',');
    EXPECT_EQ(DecimalSeparator(), '.');
    SetSeparators('.', ',');
    EXPECT_EQ(ThousandSeparator(), '.');
    EXPECT_EQ(DecimalSeparator(), ',');
    ResetPlatform();
    EXPECT_EQ(DecimalSeparator(), '.');
}

}  // namespace

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/CommandLinePerson.h"
#include "platform/Platform.h"

using namespace cli;
using platform::Button;
using platform::Dialog;
using platform::DialogKind;

namespace {

Dialog Confirm(const std::string& caption,
               std::vector<Button> buttons = {Button::Yes, Button::No}) {
    return Dialog{DialogKind::Confirmation, caption, "Go on?", std::move(buttons)};
}

// The person with a recorder that keeps what it was told.
struct Fixture {
    explicit Fixture(std::vector<AnswerRule> answers = {},
                     DefaultAnswer defaultAnswer = DefaultAnswer::None,
                     std::vector<Pick> picks = {}, Terminal terminal = {})
        : person(
              std::move(answers), defaultAnswer, std::move(picks),
              [this](const std::string& ref) -> std::optional<platform::BoardPoint> {
                  auto it = pads.find(ref);
                  if (it == pads.end()) return std::nullopt;
                  return it->second;
              },
              terminal) {
        person.SetRecorder([this](const platform::Interaction& i) { recorded.push_back(i); });
    }
    std::map<std::string, platform::BoardPoint> pads{{"U1-5", {100, 200}}};
    CommandLinePerson person;
    std::vector<platform::Interaction> recorded;
};

Pick PickOf(const std::string& text, platform::BoardPoint point = {}) {
    return Pick{ParsePickRef(text), point};
}

TEST(CommandLinePersonTest, NoticesAreClosedWithOkWithoutAnyAnswerGiven) {
    Fixture f;
    for (DialogKind kind : {DialogKind::Error, DialogKind::Information, DialogKind::Warning})
        EXPECT_EQ(f.person.Answer(Dialog{kind, "Error", "x", {Button::OK}}), Button::OK);
    EXPECT_FALSE(f.person.Unanswered());
    ASSERT_EQ(f.recorded.size(), 3u);
    EXPECT_EQ(f.recorded[0].dialog.kind, DialogKind::Error);
}

TEST(CommandLinePersonTest, AnswersAreUsedInOrderForTheirOwnCaption) {
    Fixture f({{"Confirm", Button::No}, {"Abort", Button::Yes}, {"Confirm", Button::Yes}});
    EXPECT_EQ(f.person.Answer(Confirm("Abort")), Button::Yes);
    EXPECT_EQ(f.person.Answer(Confirm("Confirm")), Button::No);
    EXPECT_EQ(f.person.Answer(Confirm("Confirm")), Button::Yes);
    EXPECT_THROW(f.person.Answer(Confirm("Confirm")), platform::NoAnswer)
        << "answers are used up, not repeated";
    EXPECT_THROW(f.person.Answer(Confirm("confirm")), platform::NoAnswer)
        << "captions are the system's own texts and match exactly";
    EXPECT_EQ(f.recorded.size(), 3u) << "a question without answer is not an interaction";
}

TEST(CommandLinePersonTest, YesAndNoAnswerEveryOtherConfirmationInTheBoxesOwnWords) {
    struct Case {
        DefaultAnswer given;
        std::vector<Button> buttons;
        Button expected;
    };
    const Case cases[] = {
        {DefaultAnswer::Yes, {Button::Yes, Button::No}, Button::Yes},
        {DefaultAnswer::Yes, {Button::OK, Button::Cancel}, Button::OK},
        {DefaultAnswer::No, {Button::Yes, Button::No}, Button::No},
        {DefaultAnswer::No, {Button::OK, Button::Cancel}, Button::Cancel},
    };
    for (const auto& c : cases) {
        Fixture f({{"Confirm", Button::No}}, c.given);
        EXPECT_EQ(f.person.Answer(Confirm("Other", c.buttons)), c.expected);
        EXPECT_EQ(f.person.Answer(Confirm("Confirm")), Button::No) << "--answer comes first";
        EXPECT_EQ(f.person.Answer(Confirm("Confirm", c.buttons)), c.expected);
    }
}

TEST(CommandLinePersonTest, AnAnswerFitsTheOtherKindOfConfirmationBox) {
    Fixture f({{"Save", Button::Yes}, {"Save", Button::Cancel}});
    EXPECT_EQ(f.person.Answer(Confirm("Save", {Button::OK, Button::Cancel})), Button::OK);
    EXPECT_EQ(f.person.Answer(Confirm("Save", {Button::Yes, Button::No})), Button::No);
}

TEST(CommandLinePersonTest, WithoutAnAnswerTheQuestionStopsTheCommandAndIsRemembered) {
    Fixture f;
    try {
        f.person.Answer(Confirm("Confirm Iterative"));
        FAIL();
    } catch (const platform::NoAnswer& e) {
        EXPECT_EQ(e.caption, "Confirm Iterative");
    }
    EXPECT_THROW(f.person.Answer(Confirm("Later")), platform::NoAnswer);
    ASSERT_TRUE(f.person.Unanswered());
    EXPECT_EQ(*f.person.Unanswered(), "Confirm Iterative") << "the first one is reported";
    EXPECT_TRUE(f.recorded.empty());
}

TEST(CommandLinePersonTest, TheTerminalIsAskedWhenTheFlagsHaveNoAnswer) {
    std::istringstream in("maybe\n\n  n \nOK\n");
    std::ostringstream out;
    Fixture f({}, DefaultAnswer::None, {}, Terminal{&in, &out, nullptr});
    EXPECT_EQ(f.person.Answer(Confirm("Confirm")), Button::No);
    EXPECT_NE(out.str().find("Confirm: Go on?"), std::string::npos);
    EXPECT_NE(out.str().find("[Yes/No]? "), std::string::npos);
    EXPECT_EQ(
        f.person.Answer(Dialog{
            DialogKind::Confirmation, "Save", "Saved.\r\rAgain?", {Button::OK, Button::Cancel}}),
        Button::OK);
    EXPECT_NE(out.str().find("Save: Saved.\n\nAgain?\n[OK/Cancel]? "), std::string::npos)
        << "the dialog's carriage returns become line ends on a terminal";
    // Notices need no answer; the person at the terminal only reads them.
    EXPECT_EQ(f.person.Answer(Dialog{DialogKind::Information, "Results", "Done.", {Button::OK}}),
              Button::OK);
    EXPECT_EQ(out.str().substr(out.str().size() - 15), "Results: Done.\n");
    // The terminal has nothing more to say: the question stays unanswered.
    EXPECT_THROW(f.person.Answer(Confirm("Confirm")), platform::NoAnswer);
    EXPECT_EQ(*f.person.Unanswered(), "Confirm");
}

TEST(CommandLinePersonTest, PicksComeInOrderAndRunOutAsCancel) {
    Fixture f({}, DefaultAnswer::None,
              {PickOf("U1-5"), PickOf("1,2", {10000 * 39, 20000 * 39}), PickOf("cancel")});
    auto first = f.person.PickPoint("Choose first pin");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->x, 100);
    EXPECT_EQ(first->y, 200);
    auto second = f.person.PickPoint("Choose second pin");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->x, 390000);
    EXPECT_FALSE(f.person.PickPoint("Choose first pin"));
    EXPECT_FALSE(f.person.PickPoint("Choose first pin")) << "no picks left";

    ASSERT_EQ(f.recorded.size(), 4u);
    const char* expected[] = {"U1-5", "1,2", "cancel", "cancel"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(f.recorded[k].kind, platform::Interaction::Kind::Pick);
        EXPECT_EQ(f.recorded[k].pickAnswer, expected[k]);
    }
    EXPECT_EQ(f.recorded[1].prompt, "Choose second pin");
}

TEST(CommandLinePersonTest, APadThatIsGoneLeavesThePickUnanswered) {
    Fixture f({}, DefaultAnswer::None, {PickOf("U9-1")});
    EXPECT_THROW(f.person.PickPoint("Choose first pin"), platform::NoAnswer);
    EXPECT_EQ(*f.person.Unanswered(), "Choose first pin");
}

TEST(CommandLinePersonTest, ChoiceTakesThePickedPadElseTheFirstOption) {
    const std::vector<std::string> options{"Track (1.000mm) on Top Layer", "Pad U1-50 on Top",
                                           "pad u1-5 on Top", "Pad U1-5 on Top"};
    Fixture f({}, DefaultAnswer::None, {PickOf("U1-5"), PickOf("0,0")});
    f.person.PickPoint("Choose");
    EXPECT_EQ(f.person.Choose("Choose object", options), 2)
        << "the pad's own option, not U1-50; designators match without letter case";
    f.person.PickPoint("Choose");
    EXPECT_EQ(f.person.Choose("Choose object", options), 0) << "a point pick takes the first";
    EXPECT_EQ(f.person.Choose("Choose object", {}), -1);
    EXPECT_EQ(f.recorded.back().kind, platform::Interaction::Kind::Choice);
}

}  // namespace

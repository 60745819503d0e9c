#include <memory>

#include "platform/Person.h"
#include "platform/PlatformFixture.h"
#include "ui/Application.h"

using namespace platform;

namespace {

using PersonTest = PlatformTest;

Dialog MakeDialog(DialogKind kind, std::string caption, std::string text,
                  std::vector<Button> buttons) {
    return Dialog{kind, std::move(caption), std::move(text), std::move(buttons)};
}

TEST_F(PersonTest, TheDefaultPersonAnswersNothing) {
    Person& nobody = CurrentPerson();
    try {
        nobody.Answer(MakeDialog(DialogKind::Confirmation, "Confirm", "Go?", {Button::Yes}));
        FAIL();
    } catch (const NoAnswer& e) {
        EXPECT_EQ(e.caption, "Confirm");
        EXPECT_STREQ(e.what(), "no answer for: Confirm");
    }
    EXPECT_THROW(nobody.PickPoint("Choose pin"), NoAnswer);
    EXPECT_THROW(nobody.Choose("Choose", {"a", "b"}), NoAnswer);
}

TEST_F(PersonTest, ASetPersonIsCurrentUntilItGoesAway) {
    Person* nobody = &CurrentPerson();
    {
        ScriptedPerson scripted;
        SetCurrentPerson(&scripted);
        EXPECT_EQ(&CurrentPerson(), &scripted);
    }
    EXPECT_EQ(&CurrentPerson(), nobody) << "a destroyed person must not stay current";
}

TEST_F(PersonTest, ScriptedDialogsAnswerInOrderAndRecordEverything) {
    ScriptedPerson person;
    person.ExpectDialog("Confirm", Button::No, "Confirm Iterative Optimizer?")
        .ExpectPick("Choose first pin", BoardPoint{10, -20})
        .ExpectChoice(1)
        .ExpectPick("", std::nullopt);
    std::vector<Interaction> recorded;
    person.SetRecorder([&](const Interaction& i) { recorded.push_back(i); });

    EXPECT_EQ(person.Answer(MakeDialog(DialogKind::Confirmation, "Confirm",
                                       "Confirm Iterative Optimizer?", {Button::Yes, Button::No})),
              Button::No);
    auto point = person.PickPoint("Choose first pin");
    ASSERT_TRUE(point);
    EXPECT_EQ(point->x, 10);
    EXPECT_EQ(point->y, -20);
    EXPECT_EQ(person.Choose("Choose object", {"Pad U1-1", "Track"}), 1);
    EXPECT_FALSE(person.PickPoint("Choose second pin")) << "an empty prompt matches any pick";
    EXPECT_EQ(person.Remaining(), 0u);

    ASSERT_EQ(recorded.size(), 4u);
    ASSERT_EQ(person.History().size(), 4u);
    EXPECT_EQ(recorded[0].kind, Interaction::Kind::Dialog);
    EXPECT_EQ(recorded[0].answer, Button::No);
    EXPECT_EQ(recorded[1].pickAnswer, "10,-20");
    EXPECT_EQ(recorded[2].chosen, 1);
    EXPECT_EQ(recorded[2].options[0], "Pad U1-1");
    EXPECT_EQ(recorded[3].pickAnswer, "cancel");
    EXPECT_EQ(person.History()[3].prompt, "Choose second pin");
}

TEST_F(PersonTest, InteractionsOutOfScriptAreRejected) {
    const Dialog confirm =
        MakeDialog(DialogKind::Confirmation, "Confirm", "Go on?", {Button::Yes, Button::No});
    struct Case {
        const char* what;
        std::function<void(ScriptedPerson&)> script;
        std::function<void(ScriptedPerson&)> act;
    };
    const Case cases[] = {
        {"nothing expected", [](ScriptedPerson&) {}, [&](ScriptedPerson& p) { p.Answer(confirm); }},
        {"other caption", [](ScriptedPerson& p) { p.ExpectDialog("Abort", Button::Yes); },
         [&](ScriptedPerson& p) { p.Answer(confirm); }},
        {"other text", [](ScriptedPerson& p) { p.ExpectDialog("Confirm", Button::Yes, "Stop?"); },
         [&](ScriptedPerson& p) { p.Answer(confirm); }},
        {"button not offered", [](ScriptedPerson& p) { p.ExpectDialog("Confirm", Button::OK); },
         [&](ScriptedPerson& p) { p.Answer(confirm); }},
        {"pick instead of dialog",
         [](ScriptedPerson& p) { p.ExpectDialog("Confirm", Button::Yes); },
         [](ScriptedPerson& p) { p.PickPoint("Choose"); }},
        {"other prompt", [](ScriptedPerson& p) { p.ExpectPick("Choose first", std::nullopt); },
         [](ScriptedPerson& p) { p.PickPoint("Choose second"); }},
        {"choice out of range", [](ScriptedPerson& p) { p.ExpectChoice(2); },
         [](ScriptedPerson& p) {
             p.Choose("Which", {"a", "b"});
         }},
        {"notices not allowed", [](ScriptedPerson&) {},
         [](ScriptedPerson& p) {
             p.Answer(MakeDialog(DialogKind::Error, "Error", "Bad", {Button::OK}));
         }},
    };
    for (const auto& c : cases) {
        ScriptedPerson person;
        c.script(person);
        std::size_t before = person.Remaining();
        EXPECT_THROW(c.act(person), ScriptedPerson::UnexpectedInteraction) << c.what;
        EXPECT_EQ(person.Remaining(), before) << c.what << ": nothing consumed";
        EXPECT_TRUE(person.History().empty()) << c.what;
    }
}

TEST_F(PersonTest, AllowedNoticesPassWithOkWithoutConsumingTheScript) {
    ScriptedPerson person;
    person.AllowUnscriptedNotices()
        .ExpectDialog("Confirm", Button::Yes)
        .ExpectDialog("Warning", Button::OK, "scripted");

    for (DialogKind kind : {DialogKind::Error, DialogKind::Information, DialogKind::Warning})
        EXPECT_EQ(person.Answer(MakeDialog(kind, "Note", "n", {Button::OK})), Button::OK);
    EXPECT_EQ(person.Remaining(), 2u);
    EXPECT_THROW(person.Answer(
                     MakeDialog(DialogKind::Confirmation, "Other", "?", {Button::Yes, Button::No})),
                 ScriptedPerson::UnexpectedInteraction)
        << "confirmations are never unscripted";
    EXPECT_EQ(person.Answer(
                  MakeDialog(DialogKind::Confirmation, "Confirm", "?", {Button::Yes, Button::No})),
              Button::Yes);
    EXPECT_EQ(person.Answer(MakeDialog(DialogKind::Warning, "Warning", "scripted", {Button::OK})),
              Button::OK);
    EXPECT_EQ(person.Remaining(), 0u) << "a scripted notice is consumed when it comes";
    EXPECT_EQ(person.History().size(), 5u);
}

TEST_F(PersonTest, MessageDialogAsksTheCurrentPerson) {
    ScriptedPerson person;
    person.ExpectDialog(ui::ConfirmCaption, Button::Yes, "Continue?");
    SetCurrentPerson(&person);

    EXPECT_EQ(ui::MessageDialog(DialogKind::Confirmation, ui::ConfirmCaption, "Continue?",
                                {Button::Yes, Button::No}),
              Button::Yes);
    ASSERT_EQ(person.History().size(), 1u);
    const Dialog& shown = person.History()[0].dialog;
    EXPECT_EQ(shown.kind, DialogKind::Confirmation);
    EXPECT_EQ(shown.caption, "Confirm");
    EXPECT_EQ(shown.buttons, (std::vector<Button>{Button::Yes, Button::No}));

    SetCurrentPerson(nullptr);
    EXPECT_THROW(ui::MessageDialog(DialogKind::Error, "Error", "x", {Button::OK}), NoAnswer);
}

TEST_F(PersonTest, KindAndButtonNamesAreTheTranscriptWords) {
    EXPECT_STREQ(DialogKindName(DialogKind::Error), "error");
    EXPECT_STREQ(DialogKindName(DialogKind::Information), "information");
    EXPECT_STREQ(DialogKindName(DialogKind::Warning), "warning");
    EXPECT_STREQ(DialogKindName(DialogKind::Confirmation), "confirmation");
    EXPECT_STREQ(ButtonName(Button::OK), "OK");
    EXPECT_STREQ(ButtonName(Button::Cancel), "Cancel");
    EXPECT_STREQ(ButtonName(Button::Yes), "Yes");
    EXPECT_STREQ(ButtonName(Button::No), "No");
}

}  // namespace

// Message boxes (kind, caption, buttons, answers, test mode), status texts, the progress
// codes sent to the host, and number formatting.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "FakeClient.h"
#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace tessaro {
namespace {

using platform::Button;
using platform::DialogKind;
using testing::FakeClient;
using testing::StatusCall;

constexpr const char* TestModeKey = "\\Software\\Zentrel\\TestMode";

class MessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetPlatform();
        platform::SetCurrentPerson(&person);
        SetClient(&client);
    }
    void TearDown() override {
        SetClient(nullptr);
        platform::ResetPlatform();
    }

    void EnterTestMode() {
        platform::RegistryCreateKey(platform::RegistryRoot::LocalMachine, TestModeKey);
        platform::SetStandardOutput(&output);
        platform::SetExitHandler([](int code) { throw platform::ProcessExit{code}; });
    }

    platform::ScriptedPerson person;
    FakeClient client;
    std::ostringstream output;
};

struct DialogCase {
    const char* name;
    std::function<bool()> show;  // the helper's result (false for helpers without one)
    DialogKind kind;
    std::string caption;
    std::string text;
    std::vector<Button> buttons;
    Button answer;
    bool result;
};

std::vector<DialogCase> DialogCases() {
    const std::vector<Button> ok{Button::OK};
    const std::vector<Button> yesNo{Button::Yes, Button::No};
    const std::vector<Button> okCancel{Button::OK, Button::Cancel};
    auto none = [](std::function<void()> f) {
        return [f] {
            f();
            return false;
        };
    };
    return {
        {"ShowError", none([] { ShowError("No board"); }), DialogKind::Error, "Error", "No board",
         ok, Button::OK, false},
        {"ShowErrorCaption", none([] { ShowError("No board", "Swapper"); }), DialogKind::Error,
         "Swapper", "No board", ok, Button::OK, false},
        {"ShowInformation", none([] { ShowInformation("Done"); }), DialogKind::Information,
         "Information", "Done", ok, Button::OK, false},
        {"ShowInformationCaption", none([] { ShowInformation("Done", "Results"); }),
         DialogKind::Information, "Results", "Done", ok, Button::OK, false},
        {"ShowWarning", none([] { ShowWarning("Careful"); }), DialogKind::Warning, "Warning",
         "Careful", ok, Button::OK, false},
        {"AskYesNoYes", [] { return AskYesNo("Go on?", "Continue"); }, DialogKind::Confirmation,
         "Go on?", "Continue", yesNo, Button::Yes, true},
        {"AskYesNoNo", [] { return AskYesNo("Go on?", "Continue"); }, DialogKind::Confirmation,
         "Go on?", "Continue", yesNo, Button::No, false},
        {"AskOkCancelOk", [] { return AskOkCancel("Apply", "Sure"); }, DialogKind::Confirmation,
         "Apply", "Sure", okCancel, Button::OK, true},
        {"AskOkCancelCancel", [] { return AskOkCancel("Apply", "Sure"); }, DialogKind::Confirmation,
         "Apply", "Sure", okCancel, Button::Cancel, false},
        {"ConfirmYesNoYes", [] { return ConfirmYesNo("Abort?"); }, DialogKind::Confirmation,
         "Confirm", "Abort?", yesNo, Button::Yes, true},
        {"ConfirmYesNoNo", [] { return ConfirmYesNo("Abort?"); }, DialogKind::Confirmation,
         "Confirm", "Abort?", yesNo, Button::No, false},
    };
}

class MessageHelpersTest : public MessagesTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(MessageHelpersTest, ShowsOneBoxOfItsKindAndReportsTheAnswer) {
    const DialogCase& c = GetParam();
    person.ExpectDialog(c.caption, c.answer, c.text);
    EXPECT_EQ(c.show(), c.result);
    ASSERT_EQ(person.History().size(), 1u);
    const platform::Dialog& shown = person.History()[0].dialog;
    EXPECT_EQ(shown.kind, c.kind);
    EXPECT_EQ(shown.buttons, c.buttons);
    EXPECT_EQ(person.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Helpers, MessageHelpersTest, ::testing::ValuesIn(DialogCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct TestModeCase {
    const char* name;
    std::function<void()> show;
    std::string line;
};

class MessageTestModeTest : public MessagesTest,
                            public ::testing::WithParamInterface<TestModeCase> {};

TEST_P(MessageTestModeTest, PrintsTheBoxAndEndsTheProcess) {
    EnterTestMode();
    try {
        GetParam().show();
        FAIL() << "the process did not end";
    } catch (const platform::ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_EQ(output.str(), GetParam().line);
    EXPECT_TRUE(person.History().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Helpers, MessageTestModeTest,
    ::testing::Values(TestModeCase{"ShowError", [] { ShowError("Part Swapping failed"); },
                                   "ShowDialogWithCaption withError Part Swapping failed\n"},
                      TestModeCase{"ShowInformation", [] { ShowInformation("Done", "Results"); },
                                   "ShowDialogWithCaption withResults Done\n"},
                      TestModeCase{"ShowWarning", [] { ShowWarning("Careful"); },
                                   "ShowDialogWithCaption withWarning Careful\n"},
                      TestModeCase{"AskYesNo",
                                   [] { AskYesNo("Confirm Iterative Optimizer?", "Go"); },
                                   "ShowDialogWithCaption withConfirm Iterative Optimizer? Go\n"},
                      TestModeCase{"AskOkCancel", [] { AskOkCancel("Apply", "Sure?"); },
                                   "ShowDialogWithCaption withApply Sure?\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessagesTest, ConfirmYesNoStillAsksInTestMode) {
    EnterTestMode();
    person.ExpectDialog("Confirm", Button::Yes, "Abort Pin/Net Optimization Yes/No?");
    EXPECT_TRUE(ConfirmYesNo("Abort Pin/Net Optimization Yes/No?"));
    EXPECT_EQ(output.str(), "");
}

TEST_F(MessagesTest, ShowStatusTextWritesIntoThePane) {
    ShowStatusText(3, "Swapping U1");
    ShowStatusText(1, "");
    EXPECT_EQ(client.statuses, (std::vector<StatusCall>{{3, "Swapping U1"}, {1, ""}}));
}

// The number of step codes (-7) sent so far.
int StepCodes(const FakeClient& client) {
    return static_cast<int>(std::count_if(client.statuses.begin(), client.statuses.end(),
                                          [](const StatusCall& s) { return s.code == -7; }));
}

TEST_F(MessagesTest, ProgressBracketsItsStepsWithPhaseAndProgressCodes) {
    BeginProgress("Optimizing", 8);
    EXPECT_EQ(client.statuses, (std::vector<StatusCall>{{-3, ""}, {-5, "Optimizing"}}));
    std::vector<int> shown;
    for (int step = 0; step < 8; ++step) {
        StepProgress();
        shown.push_back(StepCodes(client));
    }
    // 12.5, 37.5, 62.5 and 87.5 percent round to the even neighbour.
    EXPECT_EQ(shown, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    client.statuses.clear();
    EndProgress();
    EXPECT_EQ(client.statuses, (std::vector<StatusCall>{{-6, ""}, {-4, ""}}));
    client.statuses.clear();
    EndProgress();
    StepProgress();
    EXPECT_TRUE(client.statuses.empty()) << "an ended progress sends nothing";
}

struct ProgressCase {
    int total;
    std::vector<int> percentAfterEachStep;
};

class ProgressTest : public MessagesTest, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ProgressTest, SendsOneStepCodePerPercentGained) {
    BeginProgress("Work", GetParam().total);
    std::vector<int> shown;
    for (std::size_t i = 0; i < GetParam().percentAfterEachStep.size(); ++i) {
        StepProgress();
        shown.push_back(StepCodes(client));
    }
    EXPECT_EQ(shown, GetParam().percentAfterEachStep);
}

INSTANTIATE_TEST_SUITE_P(Totals, ProgressTest,
                         ::testing::Values(ProgressCase{3, {33, 67, 100}},
                                           ProgressCase{0, {100, 100}},
                                           ProgressCase{2, {50, 100, 100, 100}},  // capped
                                           ProgressCase{200, {0, 1, 2, 2}},  // 0.5 to 0, 1.5 to 2
                                           ProgressCase{-4, {0, 0}}));

TEST_F(MessagesTest, StepsBeforeAnyProgressSendNothing) {
    StepProgress();
    EndProgress();
    EXPECT_TRUE(client.statuses.empty());
}

TEST_F(MessagesTest, StatusHelpersWithoutClientDoNothing) {
    SetClient(nullptr);
    ShowStatusText(1, "x");
    BeginProgress("Work", 2);
    StepProgress();
    EndProgress();
    EXPECT_TRUE(client.statuses.empty());
}

struct NumberCase {
    double value;
    int decimals;
    std::string expected;
};

class FormatNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTest, GroupsThousandsAndRoundsHalvesAwayFromZero) {
    platform::ResetPlatform();
    EXPECT_EQ(FormatNumber(GetParam().value, GetParam().decimals), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatNumberTest,
    ::testing::Values(NumberCase{2540.0, 3, "2,540.000"}, NumberCase{508.0, 3, "508.000"},
                      NumberCase{0.0, 3, "0.000"}, NumberCase{-1234567.891, 3, "-1,234,567.891"},
                      NumberCase{-508.0, 3, "-508.000"},
                      NumberCase{999.9996, 3, "1,000.000"},  // the carry reaches a new group
                      NumberCase{0.0006, 3, "0.001"}, NumberCase{0.00049, 3, "0.000"},
                      NumberCase{-0.0001, 3, "0.000"},  // no sign on a shown zero
                      NumberCase{1234.5, 0, "1,235"}, NumberCase{-2.5, 0, "-3"},
                      NumberCase{123456789012.0, 2, "123,456,789,012.00"},
                      NumberCase{0.125, 2, "0.13"}, NumberCase{1e-9, 3, "0.000"}));

TEST(FormatNumberSeparatorsTest, UsesTheLocaleSeparators) {
    platform::ResetPlatform();
    platform::SetSeparators('.', ',');
    EXPECT_EQ(FormatNumber(-2032.5, 3), "-2.032,500");
    EXPECT_EQ(FormatNumber(1000000.0, 1), "1.000.000,0");
    platform::ResetPlatform();
}

}  // namespace
}  // namespace tessaro

#include <gtest/gtest.h>

#include <sstream>

#include "cli/StatusDisplay.h"
#include "cli/Transcript.h"

using namespace cli;
using platform::Button;

namespace {

TEST(TranscriptTest, DialogLinesKeepTheFormatsKeyOrderAndTextsExactly) {
    platform::Dialog dialog{platform::DialogKind::Confirmation,
                            "Confirm",
                            "Line one\rLine \"two\" \xC2\xB5m",
                            {Button::Yes, Button::No}};
    EXPECT_EQ(DialogLine(dialog, Button::Yes),
              "{\"event\":\"dialog\",\"kind\":\"confirmation\",\"caption\":\"Confirm\","
              "\"text\":\"Line one\\rLine \\\"two\\\" \xC2\xB5m\",\"buttons\":[\"Yes\",\"No\"],"
              "\"answer\":\"Yes\"}");
}

TEST(TranscriptTest, MessagePickAndStatusLines) {
    hostapp::MessageEntry m{"[Information]",        "Swapped U1-1 with U1-2", "Tessaro", "demo.pcb",
                            "PCB:CrossProbeNotify", "Designator=U1",          27};
    EXPECT_EQ(MessageLine(m),
              "{\"event\":\"message\",\"class\":\"[Information]\",\"text\":\"Swapped U1-1 with "
              "U1-2\",\"source\":\"Tessaro\",\"document\":\"demo.pcb\",\"process\":\"PCB:"
              "CrossProbeNotify\",\"parameters\":\"Designator=U1\",\"image\":27}");
    EXPECT_EQ(PickLine("Choose first pin", "U1-5"),
              "{\"event\":\"pick\",\"prompt\":\"Choose first pin\",\"answer\":\"U1-5\"}");
    EXPECT_EQ(StatusLine(3, "Optimizing 50%"),
              "{\"event\":\"status\",\"pane\":3,\"text\":\"Optimizing 50%\"}");
}

TEST(TranscriptTest, TextThatIsNotUtf8StillGivesALine) {
    EXPECT_EQ(PickLine("bad \xFF byte", "cancel"),
              "{\"event\":\"pick\",\"prompt\":\"bad \xEF\xBF\xBD byte\",\"answer\":\"cancel\"}");
}

TEST(TranscriptTest, TheTranscriptListsEventsInOrderAndLeavesOutProgressAndChoices) {
    std::ostringstream out;
    Transcript t(&out);
    platform::Interaction pick;
    pick.kind = platform::Interaction::Kind::Pick;
    pick.prompt = "Choose";
    pick.pickAnswer = "cancel";
    platform::Interaction choice;
    choice.kind = platform::Interaction::Kind::Choice;
    platform::Interaction dialog;
    dialog.dialog = {platform::DialogKind::Error, "Error", "x", {Button::OK}};

    t.AddStatus(-5, "Optimizing");
    t.AddStatus(2, "Ready");
    t.Add(pick);
    t.Add(choice);
    t.AddStatus(-7, "");
    t.Add(dialog);
    t.AddStatus(0, "nothing");
    t.AddStatus(4, "nothing");

    EXPECT_EQ(out.str(), StatusLine(2, "Ready") + "\n" + PickLine("Choose", "cancel") + "\n" +
                             DialogLine(dialog.dialog, Button::OK) + "\n");

    Transcript none(nullptr);  // no --transcript: nothing to write, nothing fails
    none.Add(pick);
    none.Flush();
}

TEST(StatusDisplayTest, ProgressCountsOnePercentAStepAndClearsItsLine) {
    std::ostringstream out;
    StatusDisplay display(&out);
    display.Update(-3, "");
    display.Update(-5, "Optimizing");
    for (int i = 0; i < 37; ++i) display.Update(-7, "");
    EXPECT_EQ(display.Percent(), 37);
    EXPECT_NE(out.str().rfind("Optimizing 37%"), std::string::npos);
    display.Update(-6, "");
    display.Update(-4, "");
    EXPECT_EQ(out.str().substr(out.str().size() - 4), "\r\x1b[K");

    StatusDisplay none(nullptr);
    none.Update(3, "text");  // no terminal: nothing shown anywhere
    none.Finish();
}

}  // namespace

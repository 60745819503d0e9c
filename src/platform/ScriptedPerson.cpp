// The scripted person of the tests: each interaction must be the next one the script
// expects, so a test fails at the first dialog or pick that the application shows out of
// turn, with a message that says what came and what was expected.
#include <sstream>

#include "platform/Person.h"

namespace platform {
namespace {

bool IsNotice(DialogKind kind) {
    return kind != DialogKind::Confirmation;
}

std::string Describe(const Dialog& dialog) {
    std::ostringstream s;
    s << DialogKindName(dialog.kind) << " dialog \"" << dialog.caption << "\" saying \""
      << dialog.text << "\"";
    return s.str();
}

std::string PointText(const std::optional<BoardPoint>& point) {
    if (!point) return "cancel";
    return std::to_string(point->x) + "," + std::to_string(point->y);
}

}  // namespace

ScriptedPerson& ScriptedPerson::ExpectDialog(std::string caption, Button answer,
                                             std::optional<std::string> text) {
    Expectation e;
    e.kind = Interaction::Kind::Dialog;
    e.captionOrPrompt = std::move(caption);
    e.text = std::move(text);
    e.button = answer;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedPerson& ScriptedPerson::ExpectPick(std::string prompt, std::optional<BoardPoint> answer) {
    Expectation e;
    e.kind = Interaction::Kind::Pick;
    e.captionOrPrompt = std::move(prompt);
    e.point = answer;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedPerson& ScriptedPerson::ExpectChoice(int index) {
    Expectation e;
    e.kind = Interaction::Kind::Choice;
    e.index = index;
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedPerson& ScriptedPerson::AllowUnscriptedNotices(bool allow) {
    allowNotices_ = allow;
    return *this;
}

Button ScriptedPerson::Answer(const Dialog& dialog) {
    bool matches = !expected_.empty() && expected_.front().kind == Interaction::Kind::Dialog &&
                   expected_.front().captionOrPrompt == dialog.caption &&
                   (!expected_.front().text || *expected_.front().text == dialog.text);
    Button answer = Button::OK;
    if (matches) {
        answer = expected_.front().button;
        // A scripted button the dialog does not have is a wrong script or a wrong dialog.
        bool offered = false;
        for (Button b : dialog.buttons) offered = offered || b == answer;
        if (!offered)
            throw UnexpectedInteraction(Describe(dialog) + " has no button " + ButtonName(answer));
        expected_.pop_front();
    } else if (!(allowNotices_ && IsNotice(dialog.kind))) {
        throw UnexpectedInteraction("unexpected " + Describe(dialog) +
                                    (expected_.empty() ? std::string(", nothing more expected")
                                                       : ", expected " + NextExpected()));
    }
    Interaction i;
    i.kind = Interaction::Kind::Dialog;
    i.dialog = dialog;
    i.answer = answer;
    history_.push_back(i);
    Record(i);
    return answer;
}

std::optional<BoardPoint> ScriptedPerson::PickPoint(const std::string& prompt) {
    if (expected_.empty() || expected_.front().kind != Interaction::Kind::Pick ||
        (!expected_.front().captionOrPrompt.empty() && expected_.front().captionOrPrompt != prompt))
        throw UnexpectedInteraction("unexpected pick \"" + prompt + "\"" +
                                    (expected_.empty() ? std::string(", nothing more expected")
                                                       : ", expected " + NextExpected()));
    auto answer = expected_.front().point;
    expected_.pop_front();
    Interaction i;
    i.kind = Interaction::Kind::Pick;
    i.prompt = prompt;
    i.pickAnswer = PointText(answer);
    history_.push_back(i);
    Record(i);
    return answer;
}

int ScriptedPerson::Choose(const std::string& prompt, const std::vector<std::string>& options) {
    if (expected_.empty() || expected_.front().kind != Interaction::Kind::Choice)
        throw UnexpectedInteraction("unexpected choice \"" + prompt + "\"" +
                                    (expected_.empty() ? std::string(", nothing more expected")
                                                       : ", expected " + NextExpected()));
    int index = expected_.front().index;
    if (index < -1 || index >= static_cast<int>(options.size()))
        throw UnexpectedInteraction("choice \"" + prompt + "\" has no option " +
                                    std::to_string(index));
    expected_.pop_front();
    Interaction i;
    i.kind = Interaction::Kind::Choice;
    i.prompt = prompt;
    i.options = options;
    i.chosen = index;
    history_.push_back(i);
    Record(i);
    return index;
}

std::string ScriptedPerson::NextExpected() const {
    const auto& e = expected_.front();
    switch (e.kind) {
        case Interaction::Kind::Dialog:
            return "dialog \"" + e.captionOrPrompt + "\"";
        case Interaction::Kind::Pick:
            return "pick \"" + e.captionOrPrompt + "\"";
        case Interaction::Kind::Choice:
            return "choice";
    }
    return "";
}

}  // namespace platform

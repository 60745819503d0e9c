#include "cli/CommandLinePerson.h"

#include <algorithm>
#include <cctype>

#include "platform/Platform.h"

namespace cli {
namespace {

using platform::Button;

bool Offers(const platform::Dialog& dialog, Button button) {
    return std::find(dialog.buttons.begin(), dialog.buttons.end(), button) != dialog.buttons.end();
}

// "Yes" and "OK" both mean go on, "No" and "Cancel" both mean stop: an answer given for one
// kind of confirmation box also fits the other.
std::optional<Button> Fit(const platform::Dialog& dialog, Button wanted) {
    if (Offers(dialog, wanted)) return wanted;
    Button twin = wanted;
    switch (wanted) {
        case Button::Yes:
            twin = Button::OK;
            break;
        case Button::OK:
            twin = Button::Yes;
            break;
        case Button::No:
            twin = Button::Cancel;
            break;
        case Button::Cancel:
            twin = Button::No;
            break;
    }
    if (Offers(dialog, twin)) return twin;
    return std::nullopt;
}

// The dialogs break lines with a bare carriage return, which a terminal takes as "back to the
// start of this line" and would overwrite the text with itself.
std::string TerminalLines(const std::string& text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines += text[i];
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            lines += '\n';
        }
    }
    return lines;
}

std::string Trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

CommandLinePerson::CommandLinePerson(std::vector<AnswerRule> answers, DefaultAnswer defaultAnswer,
                                     std::vector<Pick> picks, PadLocator pads, Terminal terminal)
    : answers_(std::move(answers)),
      used_(answers_.size(), false),
      defaultAnswer_(defaultAnswer),
      picks_(std::move(picks)),
      pads_(std::move(pads)),
      terminal_(terminal) {}

void CommandLinePerson::NoAnswerFor(const std::string& caption) {
    if (!unanswered_) unanswered_ = caption;
    throw platform::NoAnswer(caption);
}

std::optional<Button> CommandLinePerson::FromFlags(const platform::Dialog& dialog) {
    for (std::size_t i = 0; i < answers_.size(); ++i) {
        if (used_[i] || answers_[i].caption != dialog.caption) continue;
        // The answer is spent on this dialog whether or not it fits, so the next dialog of
        // the caption takes the next answer, as the user counted them.
        used_[i] = true;
        return Fit(dialog, answers_[i].button);
    }
    if (defaultAnswer_ == DefaultAnswer::Yes) return Fit(dialog, Button::Yes);
    if (defaultAnswer_ == DefaultAnswer::No) return Fit(dialog, Button::No);
    return std::nullopt;
}

std::optional<Button> CommandLinePerson::FromTerminal(const platform::Dialog& dialog) {
    if (!terminal_.in || !terminal_.out || dialog.buttons.empty()) return std::nullopt;
    if (terminal_.beforeAsking) terminal_.beforeAsking();
    std::ostream& out = *terminal_.out;
    out << dialog.caption << ": " << TerminalLines(dialog.text) << "\n";
    for (;;) {
        out << "[";
        for (std::size_t i = 0; i < dialog.buttons.size(); ++i)
            out << (i ? "/" : "") << platform::ButtonName(dialog.buttons[i]);
        out << "]? " << std::flush;
        std::string line;
        if (!std::getline(*terminal_.in, line)) return std::nullopt;
        std::string word = Trimmed(line);
        if (word.empty()) continue;
        for (Button b : dialog.buttons) {
            std::string name = platform::ButtonName(b);
            // The whole name, or its first letter (the four buttons' initials differ).
            if (platform::SameText(word, name) ||
                (word.size() == 1 && std::toupper(static_cast<unsigned char>(word[0])) == name[0]))
                return b;
        }
    }
}

Button CommandLinePerson::Answer(const platform::Dialog& dialog) {
    std::optional<Button> answer;
    if (dialog.kind != platform::DialogKind::Confirmation) {
        // Notices only inform: whoever sits there closes them.
        answer = Offers(dialog, Button::OK) || dialog.buttons.empty() ? Button::OK
                                                                      : dialog.buttons.front();
        if (terminal_.in && terminal_.out) {
            // Someone is watching: they read the notice, as they would read the box.
            if (terminal_.beforeAsking) terminal_.beforeAsking();
            *terminal_.out << dialog.caption << ": " << TerminalLines(dialog.text) << "\n"
                           << std::flush;
        }
    } else {
        answer = FromFlags(dialog);
        if (!answer) answer = FromTerminal(dialog);
    }
    if (!answer) NoAnswerFor(dialog.caption);

    platform::Interaction i;
    i.kind = platform::Interaction::Kind::Dialog;
    i.dialog = dialog;
    i.answer = *answer;
    Record(i);
    return *answer;
}

std::optional<platform::BoardPoint> CommandLinePerson::PickPoint(const std::string& prompt) {
    std::optional<platform::BoardPoint> point;
    std::string given = "cancel";
    lastPadRef_.reset();
    if (nextPick_ < picks_.size()) {
        const Pick& pick = picks_[nextPick_++];
        given = pick.ref.text;
        switch (pick.ref.kind) {
            case PickRef::Kind::Cancel:
                given = "cancel";
                break;
            case PickRef::Kind::Point:
                point = pick.point;
                break;
            case PickRef::Kind::Pad:
                point = pads_ ? pads_(pick.ref.text) : std::nullopt;
                // The pads were checked before the command ran; a pad gone since then leaves
                // the pick without an answer rather than silently picking nothing.
                if (!point) NoAnswerFor(prompt);
                lastPadRef_ = pick.ref.text;
                break;
        }
    }
    platform::Interaction i;
    i.kind = platform::Interaction::Kind::Pick;
    i.prompt = prompt;
    i.pickAnswer = given;
    Record(i);
    return point;
}

int CommandLinePerson::Choose(const std::string& prompt, const std::vector<std::string>& options) {
    int chosen = options.empty() ? -1 : 0;
    if (lastPadRef_) {
        // The option for the named pad: "Pad U1-5" followed by anything but more of a name,
        // so that U1-5 never takes U1-50.
        const std::string prefix = "Pad " + *lastPadRef_;
        for (std::size_t k = 0; k < options.size(); ++k) {
            const std::string& option = options[k];
            if (option.size() < prefix.size() ||
                !platform::SameText(std::string_view(option).substr(0, prefix.size()), prefix))
                continue;
            if (option.size() > prefix.size() &&
                std::isalnum(static_cast<unsigned char>(option[prefix.size()])))
                continue;
            chosen = static_cast<int>(k);
            break;
        }
    }
    platform::Interaction i;
    i.kind = platform::Interaction::Kind::Choice;
    i.prompt = prompt;
    i.options = options;
    i.chosen = chosen;
    Record(i);
    return chosen;
}

}  // namespace cli

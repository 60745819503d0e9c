// The person at the screen: the recorder every person shares, the current person, and the
// default person who is nobody (any question to it is a question without an answer).
#include "platform/Person.h"

#include <utility>

#include "platform/PlatformState.h"

namespace platform {
namespace {

class Nobody final : public Person {
  public:
    Button Answer(const Dialog& dialog) override { throw NoAnswer(dialog.caption); }
    std::optional<BoardPoint> PickPoint(const std::string& prompt) override {
        throw NoAnswer(prompt);
    }
    int Choose(const std::string& prompt, const std::vector<std::string>&) override {
        throw NoAnswer(prompt);
    }
};

}  // namespace

const char* DialogKindName(DialogKind kind) {
    switch (kind) {
        case DialogKind::Error:
            return "error";
        case DialogKind::Information:
            return "information";
        case DialogKind::Warning:
            return "warning";
        case DialogKind::Confirmation:
            return "confirmation";
    }
    return "information";
}

const char* ButtonName(Button button) {
    switch (button) {
        case Button::OK:
            return "OK";
        case Button::Cancel:
            return "Cancel";
        case Button::Yes:
            return "Yes";
        case Button::No:
            return "No";
    }
    return "OK";
}

Person::~Person() {
    // A person that goes away while current must not leave a dangling answerer behind.
    auto& current = detail::GetState().currentPerson;
    if (current == this) current = nullptr;
}

void Person::SetRecorder(std::function<void(const Interaction&)> recorder) {
    recorder_ = std::move(recorder);
}

void Person::Record(const Interaction& interaction) {
    if (recorder_) recorder_(interaction);
}

Person& CurrentPerson() {
    // The state is built before the default person, so it outlives it at exit.
    auto* current = detail::GetState().currentPerson;
    static Nobody nobody;
    return current ? *current : nobody;
}

void SetCurrentPerson(Person* person) {
    detail::GetState().currentPerson = person;
}

NoAnswer::NoAnswer(const std::string& caption)
    : std::runtime_error("no answer for: " + caption), caption(caption) {}

}  // namespace platform

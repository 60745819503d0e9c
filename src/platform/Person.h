// Whoever sits at the screen: answers dialogs, picks points on the board, chooses among
// objects that lie at one point. Every place where the application waits for a human goes
// through the current person, and every interaction is told to the person's recorder.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform {

enum class DialogKind { Error, Information, Warning, Confirmation };
enum class Button { OK, Cancel, Yes, No };

TESSARO_PLATFORM_API const char* DialogKindName(DialogKind kind);  // "error", "information", ...
TESSARO_PLATFORM_API const char* ButtonName(Button button);        // "OK", "Cancel", "Yes", "No"

struct Dialog {
    DialogKind kind = DialogKind::Information;
    std::string caption;
    std::string text;
    std::vector<Button> buttons;
};

// A point on the board in the host's units (10000 to the mil).
struct BoardPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// What the person did, in order, for transcripts.
struct Interaction {
    enum class Kind { Dialog, Pick, Choice } kind = Kind::Dialog;
    Dialog dialog;                     // Dialog
    Button answer = Button::OK;        // Dialog
    std::string prompt;                // Pick and Choice
    std::string pickAnswer;            // Pick: what was picked as the person named it, or "cancel"
    std::vector<std::string> options;  // Choice
    int chosen = -1;                   // Choice
};

class TESSARO_PLATFORM_API Person {
  public:
    virtual ~Person();
    // Shows a modal dialog and returns the button pressed.
    virtual Button Answer(const Dialog& dialog) = 0;
    // Asks for a location on the board; nullopt is cancel.
    virtual std::optional<BoardPoint> PickPoint(const std::string& prompt) = 0;
    // Several objects qualify at a picked point: the index of the one meant, or -1 (none).
    virtual int Choose(const std::string& prompt, const std::vector<std::string>& options) = 0;

    // Told of every interaction after it happened.
    void SetRecorder(std::function<void(const Interaction&)> recorder);

  protected:
    void Record(const Interaction& interaction);

  private:
    std::function<void(const Interaction&)> recorder_;
};

// The person the application talks to. Never null: without one set, a person that answers
// OK/Yes to nothing throws NoAnswer for every question.
TESSARO_PLATFORM_API Person& CurrentPerson();
TESSARO_PLATFORM_API void SetCurrentPerson(Person* person);  // nullptr: the default

// Raised when a question has no answer (the command-line person without a terminal).
struct TESSARO_PLATFORM_API NoAnswer : std::runtime_error {
    explicit NoAnswer(const std::string& caption);
    std::string caption;
};

// A scripted person for tests: a queue of expected interactions with their answers.
// An interaction that does not match the next expectation (or comes when none is left)
// throws UnexpectedInteraction; dialogs of kind error, information and warning may be
// allowed to pass unexpected with AllowUnscriptedNotices().
class TESSARO_PLATFORM_API ScriptedPerson : public Person {
  public:
    struct UnexpectedInteraction : std::logic_error {
        using std::logic_error::logic_error;
    };

    // Expects a dialog with this caption (and text, when given) and answers with the button.
    ScriptedPerson& ExpectDialog(std::string caption, Button answer,
                                 std::optional<std::string> text = std::nullopt);
    // Expects a pick with this prompt (empty: any prompt); nullopt answers cancel.
    ScriptedPerson& ExpectPick(std::string prompt, std::optional<BoardPoint> answer);
    // Expects a choice among objects at a point; answers the index.
    ScriptedPerson& ExpectChoice(int index);
    ScriptedPerson& AllowUnscriptedNotices(bool allow = true);

    Button Answer(const Dialog& dialog) override;
    std::optional<BoardPoint> PickPoint(const std::string& prompt) override;
    int Choose(const std::string& prompt, const std::vector<std::string>& options) override;

    // Expectations not yet met.
    std::size_t Remaining() const { return expected_.size(); }
    // Everything that happened, in order.
    const std::vector<Interaction>& History() const { return history_; }

  private:
    std::string NextExpected() const;  // for failure messages

    struct Expectation {
        Interaction::Kind kind;
        std::string captionOrPrompt;
        std::optional<std::string> text;
        Button button = Button::OK;
        std::optional<BoardPoint> point;
        int index = -1;
    };
    std::deque<Expectation> expected_;
    std::vector<Interaction> history_;
    bool allowNotices_ = false;
};

}  // namespace platform

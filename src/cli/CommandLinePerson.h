// The person at the screen when the plug-in runs from the command line: answers come from
// the flags, in order, then from the terminal when one is attached. A question nobody can
// answer stops the command; the plug-in swallows the exception at its entry, so the person
// remembers it and the command reports it after the launcher returns.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "platform/Person.h"

namespace cli {

// A board pick as the command line gives it, resolved to board units where it can be.
struct Pick {
    PickRef ref;
    platform::BoardPoint point;  // Point picks: already in board units
};

// Where a pad is, by its reference ("U1-5"); nullopt when the board has no such pad.
using PadLocator = std::function<std::optional<platform::BoardPoint>(const std::string& ref)>;

// A terminal to ask on; without `in` there is none.
struct Terminal {
    std::istream* in = nullptr;
    std::ostream* out = nullptr;
    std::function<void()> beforeAsking;  // e.g. clears a live status line
};

class CommandLinePerson final : public platform::Person {
  public:
    CommandLinePerson(std::vector<AnswerRule> answers, DefaultAnswer defaultAnswer,
                      std::vector<Pick> picks, PadLocator pads, Terminal terminal = {});

    platform::Button Answer(const platform::Dialog& dialog) override;
    std::optional<platform::BoardPoint> PickPoint(const std::string& prompt) override;
    int Choose(const std::string& prompt, const std::vector<std::string>& options) override;

    // The first question that had no answer (its caption or prompt), if any.
    const std::optional<std::string>& Unanswered() const { return unanswered_; }

  private:
    [[noreturn]] void NoAnswerFor(const std::string& caption);
    std::optional<platform::Button> FromFlags(const platform::Dialog& dialog);
    std::optional<platform::Button> FromTerminal(const platform::Dialog& dialog);

    std::vector<AnswerRule> answers_;
    std::vector<bool> used_;
    DefaultAnswer defaultAnswer_;
    std::vector<Pick> picks_;
    std::size_t nextPick_ = 0;
    std::optional<std::string> lastPadRef_;  // the latest pick, when it named a pad
    PadLocator pads_;
    Terminal terminal_;
    std::optional<std::string> unanswered_;
};

}  // namespace cli

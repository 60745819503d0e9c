// Status texts and progress shown live on a terminal while a command runs, on one line that
// is rewritten in place.
#pragma once

#include <ostream>
#include <string>

namespace cli {

class StatusDisplay {
  public:
    // nullptr: no terminal, nothing is shown.
    explicit StatusDisplay(std::ostream* terminal) : out_(terminal) {}

    // A status code of the host's client: panes 1 to 3 take the text; the negative codes
    // drive the progress display (start with a caption, one step per percent, end).
    void Update(int code, const std::string& text);
    // Clears the line, leaving the terminal as it was found.
    void Finish();

    int Percent() const { return percent_; }

  private:
    void Show(const std::string& line);
    std::ostream* out_;
    std::string caption_;
    int percent_ = 0;
    bool progressActive_ = false;
    bool shown_ = false;
};

}  // namespace cli

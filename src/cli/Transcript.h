// The transcript of a run: one JSON object a line, in the order things happened: dialogs
// and picks from the person, entries of the host's message list, and status-bar texts.
#pragma once

#include <ostream>
#include <string>

#include "hostapp/HostApplication.h"
#include "platform/Person.h"

namespace cli {

// The lines themselves, without the line end.
std::string DialogLine(const platform::Dialog& dialog, platform::Button answer);
std::string PickLine(const std::string& prompt, const std::string& answer);
std::string MessageLine(const hostapp::MessageEntry& entry);
std::string StatusLine(int pane, const std::string& text);

class Transcript {
  public:
    // Lines go to `out` as they happen and are flushed at once, so that a process ended by
    // the plug-in still leaves a complete transcript. nullptr: no transcript.
    explicit Transcript(std::ostream* out) : out_(out) {}

    // Dialogs and picks; choices among objects at a point are not transcript events.
    void Add(const platform::Interaction& interaction);
    void AddMessage(const hostapp::MessageEntry& entry);
    // Status-bar panes 1 to 3; the progress codes are not listed.
    void AddStatus(int code, const std::string& text);
    void Flush();

  private:
    void Write(const std::string& line);
    std::ostream* out_;
};

}  // namespace cli

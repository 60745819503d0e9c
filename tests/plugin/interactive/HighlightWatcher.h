// Stands in for the scripted person while recording what the board shows highlighted at the
// moment each pick is asked for.
#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/Person.h"
#include "plugin/interactive/InteractiveHost.h"

namespace tessaro::testing {

class HighlightWatcher final : public platform::Person {
  public:
    // Pads by "U1-5", other copper by the net it carries.
    struct Seen {
        std::set<std::string> pads;
        std::set<std::string> otherCopperNets;
        friend bool operator==(const Seen&, const Seen&) = default;
    };

    explicit HighlightWatcher(InteractiveHost& host);
    ~HighlightWatcher() override;

    platform::Button Answer(const platform::Dialog& dialog) override;
    std::optional<platform::BoardPoint> PickPoint(const std::string& prompt) override;
    int Choose(const std::string& prompt, const std::vector<std::string>& options) override;

    // One entry per pick, in order.
    const std::vector<Seen>& Shown() const { return shown_; }

  private:
    InteractiveHost& host_;
    std::vector<Seen> shown_;
};

std::ostream& operator<<(std::ostream& out, const HighlightWatcher::Seen& seen);

}  // namespace tessaro::testing

#include "plugin/interactive/HighlightWatcher.h"

#include "platform/Platform.h"

namespace tessaro::testing {

HighlightWatcher::HighlightWatcher(InteractiveHost& host) : host_(host) {
    platform::SetCurrentPerson(this);
}

HighlightWatcher::~HighlightWatcher() {
    platform::SetCurrentPerson(&host_.person);
}

platform::Button HighlightWatcher::Answer(const platform::Dialog& dialog) {
    return host_.person.Answer(dialog);
}

std::optional<platform::BoardPoint> HighlightWatcher::PickPoint(const std::string& prompt) {
    Seen seen;
    for (host::IPCB_Primitive* prim : host_.Board().ShownHighlight()) {
        if (prim->ObjectId() == host::ePadObject) {
            auto* pad = static_cast<host::IPCB_Pad*>(prim);
            seen.pads.insert(platform::Narrow(pad->Component()->Name()) + "-" +
                             platform::Narrow(pad->Name()));
        } else {
            host::IPCB_Net* net = prim->Net();
            seen.otherCopperNets.insert(net ? platform::Narrow(net->Name()) : "");
        }
    }
    shown_.push_back(seen);
    return host_.person.PickPoint(prompt);
}

int HighlightWatcher::Choose(const std::string& prompt, const std::vector<std::string>& options) {
    return host_.person.Choose(prompt, options);
}

std::ostream& operator<<(std::ostream& out, const HighlightWatcher::Seen& seen) {
    out << "pads {";
    for (const std::string& pad : seen.pads) out << " " << pad;
    out << " } other copper on {";
    for (const std::string& net : seen.otherCopperNets) out << " " << net;
    return out << " }";
}

}  // namespace tessaro::testing

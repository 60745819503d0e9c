#include "cli/StatusDisplay.h"

#include <algorithm>

#include "host/Client.h"

namespace cli {

void StatusDisplay::Update(int code, const std::string& text) {
    switch (code) {
        case host::eStatusPane1:
        case host::eStatusPane2:
        case host::eStatusPane3:
            if (!text.empty() && !progressActive_) Show(text);
            break;
        case host::eProgressStart:
            caption_ = text;
            percent_ = 0;
            progressActive_ = true;
            Show(caption_ + " 0%");
            break;
        case host::eProgressStep:
            if (!progressActive_) break;
            percent_ = std::min(100, percent_ + 1);
            Show(caption_ + " " + std::to_string(percent_) + "%");
            break;
        case host::eProgressEnd:
            progressActive_ = false;
            Finish();
            break;
        default:  // the begin and end of a phase show nothing themselves
            break;
    }
}

void StatusDisplay::Finish() {
    if (!out_ || !shown_) return;
    *out_ << "\r\x1b[K" << std::flush;
    shown_ = false;
}

void StatusDisplay::Show(const std::string& line) {
    if (!out_) return;
    *out_ << "\r\x1b[K" << line << std::flush;
    shown_ = true;
}

}  // namespace cli

#include "hostapp/design/StrictJson.h"

#include <unordered_set>
#include <vector>

namespace hostapp::design::detail {

namespace {

// Follows the parser's events to know where it is, so that duplicate keys and syntax errors
// can be reported by path. The library keeps the last of duplicate keys silently, which would
// hide a typing mistake in a hand-written design.
class PathTracker {
  public:
    std::string Path() const {
        std::string path;
        for (const Frame& frame : frames_) {
            if (frame.array) {
                path += PointerStep(frame.index);
            } else if (frame.hasKey) {
                path += PointerStep(frame.key);
            }
        }
        return path;
    }

    bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
                Push(false);
                break;
            case Json::parse_event_t::array_start:
                Push(true);
                break;
            case Json::parse_event_t::key: {
                Frame& frame = frames_.back();
                std::string key = parsed.get<std::string>();
                if (!frame.keys.insert(key).second) {
                    frame.key = key;
                    frame.hasKey = true;
                    throw JsonReadError{Path(), "duplicate key \"" + key + "\""};
                }
                frame.key = std::move(key);
                frame.hasKey = true;
                break;
            }
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                frames_.pop_back();
                ElementDone();
                break;
            case Json::parse_event_t::value:
                ElementDone();
                break;
        }
        return true;
    }

  private:
    struct Frame {
        bool array = false;
        std::size_t index = 0;
        bool hasKey = false;
        std::string key;
        std::unordered_set<std::string> keys;
    };

    void Push(bool array) {
        if (frames_.size() >= kMaxJsonDepth) {
            throw JsonReadError{Path(),
                                "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels"};
        }
        frames_.push_back(Frame{array, 0, false, {}, {}});
    }

    void ElementDone() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }

    std::vector<Frame> frames_;
};

// The library's message without its "[json.exception...] " tag.
std::string LibraryReason(const std::exception& error) {
    std::string text = error.what();
    if (!text.empty() && text.front() == '[') {
        const std::size_t end = text.find("] ");
        if (end != std::string::npos) text.erase(0, end + 2);
    }
    return text;
}

}  // namespace

std::string PointerStep(const std::string& key) {
    std::string step = "/";
    for (char c : key) {
        if (c == '~') {
            step += "~0";
        } else if (c == '/') {
            step += "~1";
        } else {
            step += c;
        }
    }
    return step;
}

std::string PointerStep(std::size_t index) {
    return "/" + std::to_string(index);
}

Json ParseStrictJson(const std::string& text) {
    PathTracker tracker;
    try {
        // The parser copies its callback; capturing by reference keeps one tracker to ask.
        Json::parser_callback_t callback = [&tracker](int depth, Json::parse_event_t event,
                                                      Json& parsed) {
            return tracker(depth, event, parsed);
        };
        return Json::parse(text, callback, /*allow_exceptions=*/true, /*ignore_comments=*/false);
    } catch (const nlohmann::json::exception& error) {
        throw JsonReadError{tracker.Path(), "invalid JSON: " + LibraryReason(error)};
    }
}

}  // namespace hostapp::design::detail

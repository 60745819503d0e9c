#include "platform/PlatformState.h"

namespace platform::detail {

State& GetState() {
    // Built on first use so that other libraries' static initialisers may already call in.
    static State state;
    return state;
}

char FoldUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string FoldUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldUpper(c);
    return folded;
}

}  // namespace platform::detail

namespace platform {

void ResetPlatform() {
    auto& state = detail::GetState();
    // Handles keep counting up: a handle held from before the reset never names a new object.
    auto nextWindow = state.nextWindow;
    auto nextModule = state.nextModule;
    state = detail::State{};
    state.nextWindow = nextWindow;
    state.nextModule = nextModule;
}

}  // namespace platform

// The locale as the application uses it: number separators and text comparison without
// regard to letter case. Only the ASCII letters fold, as in the host's own comparisons, so
// the order never depends on the machine's language settings.
#include <algorithm>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {

char ThousandSeparator() {
    return detail::GetState().thousandSeparator;
}
char DecimalSeparator() {
    return detail::GetState().decimalSeparator;
}

void SetSeparators(char thousands, char decimal) {
    auto& state = detail::GetState();
    state.thousandSeparator = thousands;
    state.decimalSeparator = decimal;
}

int CompareText(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        // Bytes compare unsigned, so texts with non-ASCII bytes still order consistently.
        int ca = static_cast<unsigned char>(detail::FoldUpper(a[i]));
        int cb = static_cast<unsigned char>(detail::FoldUpper(b[i]));
        if (ca != cb) return ca - cb;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

}  // namespace platform

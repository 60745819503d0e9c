// Message boxes, status-bar texts and the progress display. Boxes go through one routine so
// that an unattended test run never blocks on a box: with the test-mode key present it
// prints the box instead and ends the process.
#include "frame/Messages.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string_view>
#include <vector>

#include "frame/HostAccess.h"
#include "platform/Platform.h"
#include "ui/Application.h"

namespace tessaro {

namespace {

using platform::Button;
using platform::DialogKind;

constexpr std::string_view TestModeKey = "\\Software\\Zentrel\\TestMode";

Button ShowDialogWithCaption(DialogKind kind, const std::string& caption,
                             const std::string& message, const std::vector<Button>& buttons) {
    if (platform::RegistryKeyExists(platform::RegistryRoot::LocalMachine, TestModeKey)) {
        std::ostream& out = platform::StandardOutput();
        out << "ShowDialogWithCaption with" << caption << " " << message << "\n";
        out.flush();
        platform::ExitProcess(1);
    }
    return ui::MessageDialog(kind, caption, message, buttons);
}

const std::string& CaptionOr(const std::string& caption, const std::string& fallback) {
    return caption.empty() ? fallback : caption;
}

// The host's progress display is driven in whole percents; this remembers how far it got.
struct ProgressState {
    bool active = false;
    std::int64_t total = 0;
    std::int64_t steps = 0;
    std::int64_t lastPercent = 0;
};
ProgressState g_progress;

void SendStatus(int code, const std::string& text = "") {
    if (host::IClient* client = Client()) client->UpdateStatus(code, W(text));
}

// steps * 100 / total rounded to the nearest whole number, halves to the even neighbour.
std::int64_t RoundedPercent(std::int64_t steps, std::int64_t total) {
    if (total == 0) return 100;
    std::int64_t numerator = steps * 100;
    std::int64_t divisor = total;
    if (divisor < 0) {
        numerator = -numerator;
        divisor = -divisor;
    }
    // Floor division, so that the remainder is the fraction in [0, divisor).
    std::int64_t quotient = numerator / divisor;
    std::int64_t remainder = numerator % divisor;
    if (remainder < 0) {
        remainder += divisor;
        --quotient;
    }
    if (2 * remainder > divisor || (2 * remainder == divisor && (quotient & 1) != 0)) ++quotient;
    return quotient;
}

}  // namespace

void ShowError(const std::string& message, const std::string& caption) {
    ShowDialogWithCaption(DialogKind::Error, CaptionOr(caption, "Error"), message, {Button::OK});
}

void ShowInformation(const std::string& message, const std::string& caption) {
    ShowDialogWithCaption(DialogKind::Information, CaptionOr(caption, "Information"), message,
                          {Button::OK});
}

void ShowWarning(const std::string& message, const std::string& caption) {
    ShowDialogWithCaption(DialogKind::Warning, CaptionOr(caption, "Warning"), message,
                          {Button::OK});
}

bool AskYesNo(const std::string& caption, const std::string& message) {
    return ShowDialogWithCaption(DialogKind::Confirmation, caption, message,
                                 {Button::Yes, Button::No}) == Button::Yes;
}

bool AskOkCancel(const std::string& caption, const std::string& message) {
    return ShowDialogWithCaption(DialogKind::Confirmation, caption, message,
                                 {Button::OK, Button::Cancel}) == Button::OK;
}

// The toolkit's own confirmation box: it does not pass the test-mode check above, so it is
// shown even in test mode.
bool ConfirmYesNo(const std::string& message) {
    return ui::MessageDialog(DialogKind::Confirmation, ui::ConfirmCaption, message,
                             {Button::Yes, Button::No}) == Button::Yes;
}

void ShowStatusText(int pane, const std::string& text) {
    SendStatus(pane, text);
}

void BeginProgress(const std::string& caption, int total) {
    SendStatus(host::eStatusBeginPhase);
    SendStatus(host::eProgressStart, caption);
    g_progress = ProgressState{true, total, 0, 0};
}

void StepProgress() {
    if (!g_progress.active) return;
    ++g_progress.steps;
    std::int64_t percent = RoundedPercent(g_progress.steps, g_progress.total);
    if (percent > 100) percent = 100;
    if (percent > g_progress.lastPercent) {
        for (std::int64_t p = g_progress.lastPercent; p < percent; ++p) {
            SendStatus(host::eProgressStep);
        }
        g_progress.lastPercent = percent;
    }
}

void EndProgress() {
    if (!g_progress.active) return;
    SendStatus(host::eProgressEnd);
    SendStatus(host::eStatusEndPhase);
    g_progress.active = false;
}

std::string FormatNumber(double value, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (decimals < 0) decimals = 0;

    // Like the toolkit's float-to-text conversion: first 18 significant digits, then rounding
    // half away from zero at the last decimal shown.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') digits += *p;
    }
    // digits hold 0.d1d2... times 10 to the power pointPosition.
    int pointPosition = std::atoi(p + 1) + 1;
    const int keep = pointPosition + decimals;
    if (keep < static_cast<int>(digits.size())) {
        const bool roundUp = keep >= 0 && digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep < 0 ? 0 : keep));
        if (roundUp) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                ++pointPosition;
            } else {
                ++digits[i - 1];
            }
        }
    }
    if (pointPosition <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - pointPosition), '0');
        pointPosition = 1;
    }
    if (static_cast<int>(digits.size()) < pointPosition) {
        digits.resize(static_cast<std::size_t>(pointPosition), '0');
    }
    const std::string whole = digits.substr(0, static_cast<std::size_t>(pointPosition));
    std::string fraction = digits.substr(static_cast<std::size_t>(pointPosition));
    fraction.resize(static_cast<std::size_t>(decimals), '0');

    std::string text;
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) text += '-';
    // Leading zeros of the whole part other than a lone "0" come only from the padding above.
    std::size_t first = whole.find_first_not_of('0');
    if (first == std::string::npos) first = whole.size() - 1;
    const std::string significant = whole.substr(first);
    for (std::size_t i = 0; i < significant.size(); ++i) {
        if (i > 0 && (significant.size() - i) % 3 == 0) text += platform::ThousandSeparator();
        text += significant[i];
    }
    if (decimals > 0) {
        text += platform::DecimalSeparator();
        text += fraction;
    }
    return text;
}

}  // namespace tessaro

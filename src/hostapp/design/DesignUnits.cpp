// Units and layer names of design files.
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <system_error>

#include "hostapp/design/DesignFile.h"

namespace hostapp::design {

namespace {

constexpr double kInternalPerMil = 10000.0;
constexpr double kMmPerInch = 25.4;
constexpr double kMilPerInch = 1000.0;

// Internal units as a real number, before rounding. One formula per direction, so that a text
// written by LengthToText is judged by exactly the arithmetic that reads it.
double Scaled(double value, Unit unit) {
    switch (unit) {
        case Unit::Millimetre:
            return value * (kMilPerInch * kInternalPerMil) / kMmPerInch;
        case Unit::Mil:
            return value * kInternalPerMil;
        case Unit::Internal:
            return value;
    }
    return value;
}

bool FitsInternal(double scaled) {
    // llround of anything in this half-open range lands inside int32.
    return std::isfinite(scaled) && scaled > -2147483648.5 && scaled < 2147483647.5;
}

// Decimal places after which every internal value of the unit has a text of its own: an
// internal unit is 0.00000254 mm and 0.0001 mil.
int MaxDecimals(Unit unit) {
    switch (unit) {
        case Unit::Millimetre:
            return 7;
        case Unit::Mil:
            return 5;
        case Unit::Internal:
            return 0;
    }
    return 7;
}

std::string Trimmed(std::string text) {
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

}  // namespace

std::int32_t ToInternal(double value, Unit unit) {
    const double scaled = Scaled(value, unit);
    if (!FitsInternal(scaled)) {
        throw std::out_of_range("the value is beyond the board's coordinate range");
    }
    return static_cast<std::int32_t>(std::llround(scaled));
}

double FromInternal(std::int32_t value, Unit unit) {
    switch (unit) {
        case Unit::Millimetre:
            return static_cast<double>(value) * kMmPerInch / (kMilPerInch * kInternalPerMil);
        case Unit::Mil:
            return static_cast<double>(value) / kInternalPerMil;
        case Unit::Internal:
            return static_cast<double>(value);
    }
    return static_cast<double>(value);
}

std::string LengthToText(std::int32_t value, Unit unit) {
    if (unit == Unit::Internal) return std::to_string(value);
    const double real = FromInternal(value, unit);
    char buffer[64];
    for (int decimals = 0; decimals <= MaxDecimals(unit); ++decimals) {
        const auto written =
            std::to_chars(buffer, buffer + sizeof buffer, real, std::chars_format::fixed, decimals);
        if (written.ec != std::errc()) continue;
        std::string text = Trimmed(std::string(buffer, written.ptr));
        double back = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), back);
        if (read.ec != std::errc()) continue;
        const double scaled = Scaled(back, unit);
        if (FitsInternal(scaled) && std::llround(scaled) == value) return text;
    }
    // Not reached for int32 values; the shortest round-trip text of the real value is the
    // safest fall-back.
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, real);
    return std::string(buffer, written.ptr);
}

std::string UnitToText(Unit unit) {
    switch (unit) {
        case Unit::Millimetre:
            return "mm";
        case Unit::Mil:
            return "mil";
        case Unit::Internal:
            return "internal";
    }
    return "mm";
}

bool IsDesignLayer(int layer) {
    return (layer >= 1 && layer <= 32) || layer == 74;
}

std::string LayerToText(int layer) {
    if (layer == 1) return "top";
    if (layer == 32) return "bottom";
    if (layer == 74) return "multi";
    if (layer >= 2 && layer <= 31) return "mid" + std::to_string(layer - 1);
    return std::to_string(layer);
}

std::optional<int> LayerFromText(const std::string& name) {
    if (name == "top") return 1;
    if (name == "bottom") return 32;
    if (name == "multi") return 74;
    if (name.size() > 3 && name.size() <= 5 && name.compare(0, 3, "mid") == 0 && name[3] != '0') {
        int number = 0;
        const char* first = name.data() + 3;
        const char* last = name.data() + name.size();
        const auto read = std::from_chars(first, last, number);
        if (read.ec == std::errc() && read.ptr == last && number >= 1 && number <= 30) {
            return number + 1;
        }
    }
    return std::nullopt;
}

}  // namespace hostapp::design

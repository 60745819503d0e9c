// UTF-8 inside, UTF-16 across the host's interfaces. Malformed input never fails a
// conversion: each bad sequence becomes U+FFFD, so a stray byte cannot stop a command.
#include "platform/Platform.h"

namespace platform {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one code point from text at pos and advances pos past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length;
    char32_t cp;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return Replacement;
    }
    std::size_t i = pos + 1;
    for (int k = 1; k < length; ++k, ++i) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            pos = i;  // resume at the byte that broke the sequence
            return Replacement;
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    pos = i;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return Replacement;
    return cp;
}

void EncodeUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::u16string Widen(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            wide += static_cast<char16_t>(0xD800 + (cp >> 10));
            wide += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            wide += static_cast<char16_t>(cp);
        }
    }
    return wide;
}

std::string Narrow(std::u16string_view wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            EncodeUtf8(0x10000 + ((unit - 0xD800) << 10) + (wide[i + 1] - 0xDC00), utf8);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            EncodeUtf8(Replacement, utf8);  // a lone surrogate
        } else {
            EncodeUtf8(unit, utf8);
        }
    }
    return utf8;
}

}  // namespace platform

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace melodeck {

inline bool isHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool isLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Appends the UTF-8 encoding of one code point (at most U+10FFFF) to `out`.
inline void appendUtf8(std::string& out, char32_t cp) {
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

// Appends the UTF-16 encoding of one code point (at most U+10FFFF) to `out`: a surrogate pair
// above U+FFFF, one unit otherwise.
inline void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

// The length of the valid UTF-8 sequence at the start of `bytes`, with its code point in
// `cp`, or 0 when the first byte does not start one (a truncated sequence, overlong forms,
// surrogates and values past U+10FFFF are not valid). What to do with such a byte is the
// caller's choice. REQUIRES: `bytes` is not empty.
inline std::size_t decodeUtf8(std::string_view bytes, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t extra = lead < 0x80             ? 0
                              : (lead & 0xE0) == 0xC0 ? 1
                              : (lead & 0xF0) == 0xE0 ? 2
                              : (lead & 0xF8) == 0xF0 ? 3
                                                      : 4;
    if (extra == 4 || extra >= bytes.size()) return 0;
    static constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
    cp = lead & kLeadMask[extra];
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || cp > 0x10FFFF || isLowSurrogate(cp) || isHighSurrogate(cp)) {
        return 0;
    }
    return extra + 1;
}

// The number of UTF-16 units at the start of `units` that make one character, with its code
// point in `cp`: 2 for a surrogate pair, else 1 with the unit itself in `cp`, so a lone
// surrogate comes back as such for the caller to deal with. REQUIRES: `units` is not empty.
inline std::size_t decodeUtf16(std::u16string_view units, char32_t& cp) {
    cp = units[0];
    if (isHighSurrogate(cp) && units.size() > 1 && isLowSurrogate(units[1])) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (units[1] - 0xDC00);
        return 2;
    }
    return 1;
}

// The UTF-8 form of `text`; a lone surrogate becomes U+FFFD.
inline std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        i += decodeUtf16(text.substr(i), cp);
        if (isHighSurrogate(cp) || isLowSurrogate(cp)) cp = 0xFFFD;
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace melodeck

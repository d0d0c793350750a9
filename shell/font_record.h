#pragma once

#include <cstddef>
#include <cstdint>

namespace melodeck {

// Font uses, the index into the document's font arrays.
inline constexpr int kFontLyrics = 0;
inline constexpr int kFontPlaylist = 1;
inline constexpr int kFontInfo = 2;
inline constexpr int kFontCount = 3;

inline constexpr int kFaceNameUnits = 32;  // with the terminating NUL
inline constexpr std::int32_t kWeightBold = 700;
inline constexpr std::int32_t kWeightNormal = 400;
inline constexpr std::uint8_t kCyrillicCharset = 204;

// A font as stored in the values Font_0 .. Font_2: 72 bytes, integers little-endian.
struct FontRecord {
    char16_t faceName[kFaceNameUnits];  // NUL-terminated, at most 31 characters
    std::uint8_t bold;                  // non-zero: bold
    std::uint8_t italic;                // non-zero: italic
    std::uint8_t padding[2];            // written as 0, ignored when read
    std::int32_t size;                  // points; only the low 8 bits are used for a font
};
static_assert(sizeof(FontRecord) == 72);
static_assert(offsetof(FontRecord, bold) == 64);
static_assert(offsetof(FontRecord, italic) == 65);
static_assert(offsetof(FontRecord, padding) == 66);
static_assert(offsetof(FontRecord, size) == 68);

// A font as it is handed to the platform when fonts are made (the logical-font layout).
struct LogFont {
    std::int32_t height;  // pixels; derived from the record's size when fonts are made
    std::int32_t width;
    std::int32_t escapement;
    std::int32_t orientation;
    std::int32_t weight;  // 700 bold, 400 normal
    std::uint8_t italic;  // 1 or 0
    std::uint8_t underline;
    std::uint8_t strikeOut;
    std::uint8_t charSet;
    std::uint8_t outPrecision;
    std::uint8_t clipPrecision;
    std::uint8_t quality;
    std::uint8_t pitchAndFamily;
    char16_t faceName[kFaceNameUnits];  // NUL-terminated
};
static_assert(sizeof(LogFont) == 92);
static_assert(offsetof(LogFont, italic) == 20);
static_assert(offsetof(LogFont, faceName) == 28);

}  // namespace melodeck

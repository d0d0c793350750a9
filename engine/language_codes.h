#pragma once

#include <cstdint>

namespace melodeck {

// Lyric language codes, 3001 (English, text left unconverted) to 3018; 3001 and 3002 are
// also interface languages.
inline constexpr std::int32_t kLanguageEnglish = 3001;
inline constexpr std::int32_t kLanguageRussian = 3002;
inline constexpr std::int32_t kLanguageLast = 3018;

}  // namespace melodeck

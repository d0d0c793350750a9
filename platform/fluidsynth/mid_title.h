#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace melodeck {

inline constexpr std::size_t kMaxTitleLength = 257;

// The title of the song in `path`: the text of its first "@T" Text event (in any track, the
// tag dropped), else the first Sequence/Track Name of its first track, else empty. Each byte
// becomes one character (U+0000..U+00FF, for the caller's character table to convert);
// control bytes are left out; at most kMaxTitleLength characters. Reads track by track and
// stops at the first "@T" text. Safe on any bytes; a file that cannot be read has no title.
std::u16string readMidTitle(const std::filesystem::path& path);

}  // namespace melodeck

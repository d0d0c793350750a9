#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "atomic_file.h"

namespace melodeck {

// Playlist files ("M3U") as the program writes and reads them: 16-bit little-endian units
// (UTF-16LE) without a byte-order mark; the line "#EXTM3U", then one full path per line;
// every line ends with CR LF. Pure functions of their arguments except the two that name a
// file. Any thread.

// Longest line read, in UTF-16 units; a longer line is read as pieces of this length, each
// piece taken as a line of its own. No path longer than this is ever written.
inline constexpr std::size_t kM3uLineUnits = 259;

// Most bytes of a playlist file that are read; the rest of a longer file is ignored, from
// the end of the last whole line that fits. 32 MiB hold more than 60,000 lines of the
// longest kind, or some 200,000 paths of ordinary length, and bound what a huge or endless
// file can cost.
inline constexpr std::size_t kMaxM3uFileBytes = std::size_t{32} << 20;

// A path as the UTF-16 text a playlist holds. Linux file names are bytes, normally UTF-8:
// each valid UTF-8 sequence becomes its character (a pair of surrogates above U+FFFF), and
// each byte that is not part of one becomes the lone surrogate U+DC00 + byte
// (U+DC80..U+DCFF). Such a unit is no character, so no real name is mistaken for it, and
// pathOfM3uText turns it back into the same byte: every file name survives a save and a load
// exactly, whatever its bytes.
std::u16string m3uTextOfPath(const std::filesystem::path& path);

// The path a playlist's text names: the inverse of m3uTextOfPath. Characters become UTF-8,
// lone surrogates U+DC80..U+DCFF the bytes 0x80..0xFF; any other lone surrogate becomes
// U+FFFD (no file of ours can have it in its name). The path ends at a NUL unit.
std::filesystem::path pathOfM3uText(std::u16string_view text);

// Whether a playlist can hold `path` so that reading gives back the same path: its text is
// not empty, at most kM3uLineUnits units long, holds no CR and no LF, and does not start
// with "#" or "%". Any other path would come back cut short, in pieces, as a comment or
// as a relative name, and the pieces might name other files.
bool m3uCanHold(const std::filesystem::path& path);

// The bytes of a playlist file naming `paths` in order; an empty list gives the 18 bytes
// of the header line alone. Paths that m3uCanHold refuses are left out.
std::vector<std::uint8_t> encodeM3u(std::span<const std::filesystem::path> paths);

// The paths a playlist file names, in order. `bytes` is the file's contents (an odd last
// byte is ignored) and `playlistFile` its path. Lines end after a line feed or after
// kM3uLineUnits units, whichever comes first. A line whose first unit is "#" is a comment;
// in the others everything from the first CR (or NUL) on is cut off, and what is left is
// a full path, or, after a leading "%", a path relative to the playlist's folder: the
// playlist's path up to its last "/" followed by the rest of the line, where a backslash
// right after the "%" counts as "/" ("%\a.kar" and "%/a.kar" both name a.kar beside the
// playlist; a playlist path without "/" stands in the current folder "."). Empty lines
// name nothing and are left out. A line ending in LF without CR keeps its LF, and so
// names no file. Nothing is checked against the file system.
std::vector<std::filesystem::path> parseM3u(std::span<const std::uint8_t> bytes,
                                            const std::filesystem::path& playlistFile);

// parseM3u of the first kMaxM3uFileBytes of `file`. Empty when the file cannot be opened
// or is not a regular file (a named pipe is never waited on).
std::vector<std::filesystem::path> readM3uFile(const std::filesystem::path& file);

// Writes encodeM3u(paths) to `file` with writeFileAtomically: true when the file holds the
// new list; on false it is untouched. `fault` is for tests.
bool writeM3uFile(const std::filesystem::path& file, std::span<const std::filesystem::path> paths,
                  AtomicWriteFault fault = AtomicWriteFault::None);

}  // namespace melodeck

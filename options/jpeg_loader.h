#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>

#include "st_screen_buffer.h"

namespace melodeck {

// JPEG pictures into bitmaps, through the IJG 6b interface of libjpeg-turbo.
//
// Colour pictures decode to their RGB pixels, greyscale ones to grey pixels (R = G = B),
// CMYK ones are converted to RGB (as inverted CMYK when the file carries an Adobe marker,
// as Photoshop writes them). Anything else gives none, without a message and without
// output on stderr: not a JPEG, damaged headers or picture data, data cut short before
// the last row, a size outside CSTScreenBuffer's limits, a progressive file with an
// absurd number of scans, or a picture whose bitmap cannot be allocated. Warnings that
// leave the picture whole (stray bytes between markers, say) are ignored.
//
// Thread-safe: each call has its own decoder state.

// Decodes the picture that `file` holds from its current position. The caller keeps the
// file open during the call and closes it afterwards.
std::optional<CSTScreenBuffer> decodeJpeg(std::FILE& file);

// Opens `path` for reading and decodes it; none also when the file cannot be opened.
std::optional<CSTScreenBuffer> loadJpeg(const std::filesystem::path& path);

}  // namespace melodeck

#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace melodeck {

// A JPEG compressor for the programs around the player: the default-picture generator,
// the tests and the benchmarks. The player itself only decodes.

enum class JpegColour {
    Rgb,        // three samples per pixel, R, G, B
    Grey,       // one sample per pixel
    Cmyk,       // four ink amounts per pixel (255 = full ink), stored as given, no Adobe marker
    AdobeCmyk,  // four ink amounts per pixel, stored inverted behind an Adobe marker
};

struct JpegEncodeOptions {
    int quality = 90;          // 1 to 100
    bool progressive = false;  // the library's standard progressive scan script
};

// Compresses width x height pixels given top row first, with the number of samples per
// pixel that `colour` names. Returns the file's bytes, or an empty vector when the size or
// the sample count is not acceptable.
std::vector<std::uint8_t> encodeJpeg(std::span<const std::uint8_t> samples, std::int32_t width,
                                     std::int32_t height, JpegColour colour,
                                     const JpegEncodeOptions& options = {});

// Writes `bytes` to `path`, replacing the file. Returns false when it cannot be written.
bool writeBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace melodeck

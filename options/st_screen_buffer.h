#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "bitmap_view.h"

namespace melodeck {

// A picture as a 24-bit device-independent bitmap, laid out the way the painter copies it:
// rows stored bottom-up (the last picture row first), each row `rowPixels()` pixels wide
// (the width rounded up to a multiple of 4), each pixel three bytes in the order B, G, R.
// Picture pixel (x, y), with y counted from the top, lives at byte offset
// 3 x ((height - 1 - y) x rowPixels + x) of bits(). The padding pixels at the right end of
// each row (up to three) are zero.
//
// A value type: it owns its pixel memory. Built through create(), which refuses sizes it
// cannot hold, so every CSTScreenBuffer has a positive size and all of its memory.
class CSTScreenBuffer {
public:
    static constexpr std::int32_t kBytesPerPixel = 3;
    // Largest picture accepted: at most kMaxSide pixels on either side and kMaxPixels in
    // all (a 48-megapixel photograph fits; its bitmap takes about 150 MB).
    static constexpr std::int32_t kMaxSide = 16384;
    static constexpr std::int64_t kMaxPixels = 50'000'000;

    // True when a width x height picture is within the limits above and both sides are
    // positive.
    static bool sizeAccepted(std::int64_t width, std::int64_t height);

    // A black width x height bitmap, or none when the size is not accepted or the memory
    // cannot be had.
    static std::optional<CSTScreenBuffer> create(std::int32_t width, std::int32_t height);

    // The picture's size in pixels (not padded).
    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }
    // The width of the bitmap: width() rounded up to a multiple of 4.
    std::int32_t rowPixels() const { return m_rowPixels; }
    // Bytes from one stored row to the next: rowPixels() x 3.
    std::int32_t stride() const { return m_rowPixels * kBytesPerPixel; }

    // The whole pixel memory, height() x stride() bytes, bottom row first.
    std::span<const std::uint8_t> bits() const { return m_bits; }
    // The picture as the painter reads it; valid while this buffer lives unchanged.
    BitmapView view() const { return BitmapView{m_width, m_height, m_rowPixels, m_bits}; }

    // The width() x 3 bytes (B, G, R per pixel, no padding) of picture row y, counted from
    // the top. REQUIRES: 0 <= y < height().
    std::span<const std::uint8_t> row(std::int32_t y) const;
    std::span<std::uint8_t> mutableRow(std::int32_t y);

    // Stores picture row y (from the top) given as width() x 3 bytes in the order R, G, B.
    // REQUIRES: 0 <= y < height() and rgb.size() == width() x 3.
    void setRgbRow(std::int32_t y, std::span<const std::uint8_t> rgb);

private:
    CSTScreenBuffer(std::int32_t width, std::int32_t height, std::vector<std::uint8_t> bits);
    std::size_t rowOffset(std::int32_t y) const;

    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_rowPixels;
    std::vector<std::uint8_t> m_bits;
};

}  // namespace melodeck

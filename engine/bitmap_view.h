#pragma once

#include <cstdint>
#include <span>

namespace melodeck {

// A read-only view of a 24-bit device-independent bitmap as the pictures are kept: rows
// stored bottom-up (the last picture row first), each row `rowPixels` pixels wide (the
// width rounded up to a multiple of 4), three bytes per pixel in the order B, G, R.
// Picture pixel (x, y), y counted from the top, lives at byte offset
// 3 x ((height - 1 - y) x rowPixels + x) of `bits`.
//
// The view does not own the pixels: whoever hands it out keeps them alive while it is used.
struct BitmapView {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowPixels = 0;
    std::span<const std::uint8_t> bits;

    // True when the fields describe memory that `bits` really holds.
    bool valid() const {
        return width > 0 && height > 0 && rowPixels >= width &&
               static_cast<std::uint64_t>(rowPixels) * 3u * static_cast<std::uint64_t>(height) <=
                   bits.size();
    }
};

}  // namespace melodeck

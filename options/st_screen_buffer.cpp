#include "st_screen_buffer.h"

#include <cassert>
#include <new>
#include <utility>

namespace melodeck {

namespace {

std::int32_t paddedWidth(std::int32_t width) { return (width + 3) / 4 * 4; }

}  // namespace

bool CSTScreenBuffer::sizeAccepted(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= kMaxPixels;
}

std::optional<CSTScreenBuffer> CSTScreenBuffer::create(std::int32_t width, std::int32_t height) {
    if (!sizeAccepted(width, height)) {
        return std::nullopt;
    }
    // Within the limits the size fits easily in size_t; the product is formed in 64 bits.
    const auto bytes = static_cast<std::size_t>(paddedWidth(width)) *
                       static_cast<std::size_t>(height) * kBytesPerPixel;
    // A picture that does not fit in memory is a picture that cannot be shown, not an error
    // to pass on: the allocation failure ends here.
    try {
        return CSTScreenBuffer(width, height, std::vector<std::uint8_t>(bytes));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

CSTScreenBuffer::CSTScreenBuffer(std::int32_t width, std::int32_t height,
                                 std::vector<std::uint8_t> bits)
    : m_width(width), m_height(height), m_rowPixels(paddedWidth(width)), m_bits(std::move(bits)) {}

std::size_t CSTScreenBuffer::rowOffset(std::int32_t y) const {
    assert(y >= 0 && y < m_height);
    return static_cast<std::size_t>(m_height - 1 - y) * static_cast<std::size_t>(stride());
}

std::span<const std::uint8_t> CSTScreenBuffer::row(std::int32_t y) const {
    return std::span<const std::uint8_t>(m_bits).subspan(
        rowOffset(y), static_cast<std::size_t>(m_width) * kBytesPerPixel);
}

std::span<std::uint8_t> CSTScreenBuffer::mutableRow(std::int32_t y) {
    return std::span<std::uint8_t>(m_bits).subspan(
        rowOffset(y), static_cast<std::size_t>(m_width) * kBytesPerPixel);
}

void CSTScreenBuffer::setRgbRow(std::int32_t y, std::span<const std::uint8_t> rgb) {
    const std::span<std::uint8_t> out = mutableRow(y);
    assert(rgb.size() == out.size());
    for (std::size_t i = 0; i + 2 < out.size(); i += kBytesPerPixel) {
        out[i] = rgb[i + 2];
        out[i + 1] = rgb[i + 1];
        out[i + 2] = rgb[i];
    }
}

}  // namespace melodeck

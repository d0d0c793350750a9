#include "fixed_width_canvas.h"

#include <algorithm>
#include <limits>

namespace melodeck {

namespace {

// Widths of absurdly long texts saturate instead of wrapping round.
std::int32_t widthOf(std::size_t characters, std::int32_t charWidth) {
    const std::int64_t width = static_cast<std::int64_t>(std::min<std::size_t>(
                                   characters, std::numeric_limits<std::int32_t>::max())) *
                               charWidth;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        width, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t FixedWidthCanvas::textExtent(std::u16string_view text) const {
    return widthOf(text.size(), m_charWidth);
}

Size FixedWidthCanvas::measureSingleLine(std::u16string_view text) const {
    if (text.empty()) {
        return {};
    }
    return {widthOf(text.size(), m_charWidth), m_lineHeight};
}

}  // namespace melodeck

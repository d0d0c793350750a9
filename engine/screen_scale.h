#pragma once

#include <cstdint>
#include <limits>

#include "geometry.h"

namespace melodeck {

// Pixel constants are chosen for a screen of 96 dots per inch.
inline constexpr std::int32_t kBaseDotsPerInch = 96;
// From this resolution on, pictures are shown with each of their pixels covering
// dpi / 96 screen pixels, and the background's copies and fills scale with them.
inline constexpr std::int32_t kHighDotsPerInch = 192;

// A length or coordinate of a 96-dpi screen on a screen of `dotsPerInch`, rounded to the
// nearest pixel: (|v| x dpi + 48) / 96, with the sign of v. Saturates at the int32 range.
constexpr std::int32_t scaleFrom96Dpi(std::int32_t value, std::int32_t dotsPerInch) {
    const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    const std::int64_t scaled = (magnitude * dotsPerInch + kBaseDotsPerInch / 2) / kBaseDotsPerInch;
    const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    const std::int64_t clamped = scaled > limit ? limit : (scaled < -limit ? -limit : scaled);
    return static_cast<std::int32_t>(value < 0 ? -clamped : clamped);
}

constexpr bool isHighResolution(Size dotsPerInch) { return dotsPerInch.width >= kHighDotsPerInch; }

// A rectangle of a 96-dpi screen as the background is drawn on a screen of `dotsPerInch`:
// scaled (x with the horizontal, y with the vertical resolution) on a high-resolution
// screen, unchanged below that.
constexpr Rect backgroundRect(const Rect& rect, Size dotsPerInch) {
    if (!isHighResolution(dotsPerInch)) return rect;
    return Rect{scaleFrom96Dpi(rect.left, dotsPerInch.width),
                scaleFrom96Dpi(rect.top, dotsPerInch.height),
                scaleFrom96Dpi(rect.right, dotsPerInch.width),
                scaleFrom96Dpi(rect.bottom, dotsPerInch.height)};
}

}  // namespace melodeck

#pragma once

#include <cstdint>

#include "geometry.h"

namespace melodeck {

// Screen dots per inch, horizontally (width) and vertically (height).
using Dpi = Size;

// Every pixel length of the screen layout is chosen for a 96-dpi screen. On the running
// screen a length v becomes (v x dpi + 48) / 96 pixels, rounded to the nearest; horizontal
// lengths use the horizontal dpi, vertical ones the vertical dpi.
constexpr std::int32_t scaleFrom96(std::int32_t v, std::int32_t dpi) {
    return static_cast<std::int32_t>((std::int64_t{v} * dpi + 48) / 96);
}
constexpr std::int32_t scaleX(std::int32_t v, Dpi dpi) { return scaleFrom96(v, dpi.width); }
constexpr std::int32_t scaleY(std::int32_t v, Dpi dpi) { return scaleFrom96(v, dpi.height); }

// Screens of 192 dpi or more (judged by the horizontal dpi) get the high-resolution
// variants of the layout.
constexpr bool isHighResolution(Dpi dpi) { return dpi.width >= 192; }

}  // namespace melodeck

#pragma once

#include <cstdint>

#include "geometry.h"
#include "screen_scale.h"

namespace melodeck {

// Screen dots per inch, horizontally (width) and vertically (height).
using Dpi = Size;

// Every pixel length of the screen layout is chosen for a 96-dpi screen. On the running
// screen a length v becomes (v x dpi + 48) / 96 pixels, rounded to the nearest; horizontal
// lengths use the horizontal dpi, vertical ones the vertical dpi.
constexpr std::int32_t scaleX(std::int32_t v, Dpi dpi) { return scaleFrom96Dpi(v, dpi.width); }
constexpr std::int32_t scaleY(std::int32_t v, Dpi dpi) { return scaleFrom96Dpi(v, dpi.height); }

}  // namespace melodeck

#pragma once

#include <cstdint>
#include <string_view>

#include "geometry.h"

namespace melodeck {

// Text measuring (and, later, drawing) in the font that the owner has selected.
// The engine lays lyrics out and paints them only through this interface; the platform
// implements it on a real font and image, tests on a fixed-width font.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Width in pixels of the widest character of the current font.
    virtual std::int32_t maxCharWidth() const = 0;

    // Width in pixels of `text` drawn on one line in the current font (a text extent).
    virtual std::int32_t textExtent(std::u16string_view text) const = 0;

    // The size of the rectangle that single-line drawing of `text` would fill, measured
    // without drawing. An empty text measures 0 x 0.
    virtual Size measureSingleLine(std::u16string_view text) const = 0;
};

}  // namespace melodeck

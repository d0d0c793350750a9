#pragma once

#include <cstdint>

#include "canvas.h"

namespace melodeck {

// A canvas whose font gives every character the same width and every non-empty line the
// same height. Serves tests and the tools' reproducible layouts.
class FixedWidthCanvas : public Canvas {
public:
    FixedWidthCanvas(std::int32_t charWidth, std::int32_t lineHeight)
        : m_charWidth(charWidth), m_lineHeight(lineHeight) {}

    std::int32_t maxCharWidth() const override { return m_charWidth; }
    std::int32_t textExtent(std::u16string_view text) const override;
    Size measureSingleLine(std::u16string_view text) const override;

private:
    std::int32_t m_charWidth;
    std::int32_t m_lineHeight;
};

}  // namespace melodeck

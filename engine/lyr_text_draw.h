#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "geometry.h"

namespace melodeck {

// One text wrapped into lines of the rectangle's width.
class CLyrTextDraw {
public:
    virtual ~CLyrTextDraw() = default;

    Rect rect;                          // its width is the width to wrap to
    std::u16string text;                // the text to wrap
    std::int32_t lineCount = 1;         // at least 1 after a wrap
    std::vector<std::u16string> lines;  // the wrapped lines, in order
    std::u16string firstLine;           // lines[0], or the whole text before any wrap
    std::int32_t firstLineWidth = 0;    // pixels, single-line measure of the first line
    std::int32_t firstLineHeight = 0;
};

// Wraps box.text to box.rect's width in the canvas's font, filling the other fields.
// Always takes at least one character per line, however narrow the rectangle.
void wrapText(CLyrTextDraw& box, const Canvas& canvas);

}  // namespace melodeck

#pragma once

// Internal to the engine: the steps of wrapText that the layout also needs on their own,
// so that a fit test can stop after the first line instead of wrapping the whole text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "canvas.h"
#include "geometry.h"

namespace melodeck::detail {

// Characters that surely fit in `width`: width / the font's maximum character width,
// never negative (0 when the font reports no maximum width).
std::size_t startingGuess(std::int32_t width, const Canvas& canvas);

// The number of characters of `text` (not empty) that go on its first wrapped line: at
// least 1, ending after a line feed if one comes first, and moved back to a word boundary
// when a word would be cut and the line holds a space. `lineFeedEnds` tells whether the
// line ends at a line feed (which is drawn as a space).
std::size_t firstLineLength(std::u16string_view text, std::int32_t width, std::size_t guess,
                            const Canvas& canvas, bool& lineFeedEnds);

// Where the rest of `text` starts after a line of `count` characters: spaces and tabs are
// skipped, then one line feed. Returns text.size() when nothing is left.
std::size_t restStart(std::u16string_view text, std::size_t count);

// The first line of a wrap and whether it is the only one.
struct FirstLineFit {
    std::size_t length = 0;  // characters of the first line
    bool single = true;      // the whole text wraps into one line
    Size size;               // single-line measure of the text (one line) or of its first line
};

// What wrapText would report about the first line of `text`, without wrapping the rest.
// An empty text is a single line measuring 0 x 0.
FirstLineFit fitFirstLine(std::u16string_view text, std::int32_t width, const Canvas& canvas);

// right - left with 32-bit wrapping, so that no rectangle overflows.
std::int32_t wrappingWidth(const Rect& rect);

}  // namespace melodeck::detail

#include "lyr_text_draw.h"

#include <algorithm>

#include "text_wrap.h"

namespace melodeck {

namespace detail {

std::int32_t wrappingWidth(const Rect& rect) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rect.right) -
                                     static_cast<std::uint32_t>(rect.left));
}

std::size_t startingGuess(std::int32_t width, const Canvas& canvas) {
    const std::int32_t maxWidth = canvas.maxCharWidth();
    if (maxWidth <= 0 || width <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(width / maxWidth);
}

std::size_t firstLineLength(std::u16string_view text, std::int32_t width, std::size_t guess,
                            const Canvas& canvas, bool& lineFeedEnds) {
    lineFeedEnds = false;
    const std::size_t length = text.size();
    std::size_t count = length;
    if (canvas.textExtent(text) > width) {
        // Prefixes shorter than the guess surely fit; measure from there until one is too
        // wide. The whole text is too wide, so the search ends within it.
        std::size_t n = std::min(guess, length);
        while (n < length && canvas.textExtent(text.substr(0, n)) <= width) {
            ++n;
        }
        count = n > 0 ? n - 1 : 0;
    }
    // However narrow the area, every line takes at least one character: otherwise the
    // wrap would never advance.
    count = std::max<std::size_t>(count, 1);

    const std::size_t lineFeed = text.substr(0, count).find(u'\n');
    if (lineFeed != std::u16string_view::npos) {
        count = lineFeed + 1;
        lineFeedEnds = true;
    }
    if (count < length && text[count - 1] != u' ' && text[count - 1] != u'\n') {
        const std::size_t space = text.substr(0, count).rfind(u' ');
        if (space != std::u16string_view::npos) {
            count = space + 1;
        }
    }
    return count;
}

std::size_t restStart(std::u16string_view text, std::size_t count) {
    std::size_t pos = count;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) {
        ++pos;
    }
    if (pos < text.size() && text[pos] == u'\n') {
        ++pos;
    }
    return pos;
}

FirstLineFit fitFirstLine(std::u16string_view text, std::int32_t width, const Canvas& canvas) {
    FirstLineFit fit;
    if (text.empty()) {
        return fit;
    }
    bool lineFeedEnds = false;
    fit.length = firstLineLength(text, width, startingGuess(width, canvas), canvas, lineFeedEnds);
    fit.single = restStart(text, fit.length) >= text.size();
    if (fit.single) {
        fit.size = canvas.measureSingleLine(text);
    } else {
        std::u16string line(text.substr(0, fit.length));
        if (lineFeedEnds) {
            line.back() = u' ';
        }
        fit.size = canvas.measureSingleLine(line);
    }
    return fit;
}

}  // namespace detail

void wrapText(CLyrTextDraw& box, const Canvas& canvas) {
    box.lineCount = 1;
    box.firstLine = box.text;
    box.firstLineWidth = 0;
    box.lines.clear();
    if (box.text.empty()) {
        return;
    }
    const std::int32_t width = detail::wrappingWidth(box.rect);
    const std::size_t guess = detail::startingGuess(width, canvas);
    std::u16string_view rest = box.text;
    while (!rest.empty()) {
        bool lineFeedEnds = false;
        const std::size_t count = detail::firstLineLength(rest, width, guess, canvas, lineFeedEnds);
        std::u16string& line = box.lines.emplace_back(rest.substr(0, count));
        if (lineFeedEnds) {
            line.back() = u' ';
        }
        rest.remove_prefix(detail::restStart(rest, count));
    }
    box.lineCount = static_cast<std::int32_t>(box.lines.size());
    box.firstLine = box.lines.front();
    const Size size = canvas.measureSingleLine(
        box.lines.size() == 1 ? std::u16string_view(box.text) : std::u16string_view(box.firstLine));
    box.firstLineWidth = size.width;
    box.firstLineHeight = size.height;
}

}  // namespace melodeck

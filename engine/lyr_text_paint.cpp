// The lyric display: the title block, the background, pages of lines in pairs of rows, the
// karaoke highlight and the picture wipe at long pauses.

#include <algorithm>
#include <iterator>
#include <limits>

#include "lyr_text.h"
#include "lyr_text_draw.h"
#include "screen_scale.h"

namespace melodeck {

namespace {

// The wipe reveals the new picture in bands of this many 96-dpi rows, one per marker.
constexpr std::int32_t kWipeBandHeight = 25;
constexpr std::uint8_t kFirstWipeMarker = 10;
constexpr std::uint8_t kLastWipeMarker = 19;

std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

void CLyrText::setHasPicture(bool hasPicture) {
    m_display.hasPicture = hasPicture;
    if (!hasPicture) {
        m_display.songColour = kBlack;
    }
}

const LyricLine* CLyrText::displayedLine() const {
    return m_display.displayed == m_lines.end() ? nullptr : &*m_display.displayed;
}

std::int32_t CLyrText::rowOf(std::int32_t i) const {
    if (m_display.half == 0) return i;
    switch (i) {
        case 1:
            return 3;
        case 2:
            return 0;
        case 3:
            return 1;
        default:
            return i;
    }
}

std::int32_t CLyrText::rowTop(std::int32_t row) const {
    return clampToInt32(static_cast<std::int64_t>(m_display.textRect.top) +
                        static_cast<std::int64_t>(row) * m_lineHeight);
}

std::int32_t CLyrText::centringOffset(const LyricLine& line) const {
    // Signed and rounded toward zero: a line wider than the rectangle starts left of it.
    return clampToInt32((static_cast<std::int64_t>(m_display.textRect.right) -
                         m_display.textRect.left - line.width) /
                        2);
}

void CLyrText::forgetDisplayedLine() {
    m_display.displayed = m_lines.end();
    m_display.playedRows = 0;
    m_display.half = 0;
    m_display.p0.clear();
    m_display.p1.clear();
    m_display.x0 = 0;
    m_display.x1 = 0;
}

void CLyrText::selectLyricFont(Canvas& canvas) const {
    if (m_display.lyricFont) {
        canvas.setFont(*m_display.lyricFont);
    }
}

void CLyrText::fillWhite(Canvas& canvas, const Rect& rect) const {
    canvas.fillRect(backgroundRect(rect, canvas.dotsPerInch()), kWhite);
}

void CLyrText::copyBackground(Canvas& canvas, const Rect& source, const Rect& destination) const {
    if (!m_display.hasPicture || !m_display.background.valid()) {
        fillWhite(canvas, destination);
        return;
    }
    // The picture is not scaled to the screen: its 96-dpi pixels stretch with the screen's
    // resolution, so the source stays as it is and the destination scales.
    canvas.copyPicture(m_display.background, source,
                       backgroundRect(destination, canvas.dotsPerInch()));
}

// ---- Operations --------------------------------------------------------------------------

void CLyrText::resetTextRect() {
    const std::int64_t top = static_cast<std::int64_t>(m_lyricArea.top) + m_spaceAbove;
    m_display.textRect =
        Rect{m_lyricArea.left, clampToInt32(top), m_lyricArea.right,
             clampToInt32(top + static_cast<std::int64_t>(m_linesShown) * m_lineHeight)};
}

void CLyrText::beginDisplay(Canvas* canvas) {
    resetCursor();
    forgetDisplayedLine();
    m_display.canvas = canvas;
    resetTextRect();
    m_display.newPictureReady = false;
    if (canvas != nullptr) {
        canvas->fillRect(m_display.titleRect, kWhite);
    }
    paintTitleBlock();
}

void CLyrText::paintTitleBlock() {
    Canvas* canvas = m_display.canvas;
    if (canvas == nullptr) return;
    const CanvasStateSaver saver(*canvas);
    selectLyricFont(*canvas);
    canvas->setTextColour(kBlack);
    canvas->setTransparentText(true);

    const Rect& title = m_display.titleRect;
    std::int64_t y = static_cast<std::int64_t>(title.top) + m_spaceAbove;
    CLyrTextDraw box;
    box.rect = title;
    for (const InfoEntry& entry : m_info) {
        if (entry.text.empty()) continue;
        if (m_lineHeight >= title.bottom - y) continue;
        box.text = infoLineText(entry);
        wrapText(box, *canvas);
        for (const std::u16string& line : box.lines) {
            const Size size = canvas->measureSingleLine(line);
            const std::int32_t top = clampToInt32(y);
            canvas->drawTextInRect(
                Rect{title.left, top, title.right, clampToInt32(y + size.height)}, line,
                HAlign::Centre);
            // A song whose lines measured nothing has no line height; its title lines
            // still go one under the other.
            y += m_lineHeight > 0 ? m_lineHeight : size.height;
        }
    }
}

void CLyrText::restoreBackground() {
    Canvas* canvas = m_display.canvas;
    if (canvas == nullptr) return;
    const Rect& area = m_lyricArea;
    copyBackground(*canvas, Rect{0, 0, area.width(), area.height()}, area);
}

void CLyrText::clearLyricArea() {
    if (m_display.canvas != nullptr) {
        fillWhite(*m_display.canvas, m_lyricArea);
    }
}

void CLyrText::moveToNextLine() {
    DisplayState& d = m_display;
    const auto previous = d.displayed;
    const auto next = previous == m_lines.end() ? m_lines.begin() : std::next(previous);
    // Past the last line the page stays as it is.
    if (next == m_lines.end()) return;
    d.displayed = next;

    if (d.playedRows == 2 && d.canvas != nullptr) {
        copyBackground(*d.canvas, d.textRect, d.textRect);
    }
    if (d.displayed->pageStart != 0) {
        d.playedRows = 0;
        d.p0.clear();
        d.half = 0;
    } else if (d.playedRows == 2 && previous != m_lines.end()) {
        // The line just sung stays on the page in the played colour; the pair of rows that
        // held the two before it is refilled with the lines to come.
        d.p0 = previous->text;
        d.x0 = centringOffset(*previous);
        d.playedRows = 1;
        d.half ^= 1;
    } else {
        d.playedRows = std::min(d.playedRows + 1, 2);
    }
}

void CLyrText::showNextLine(bool full) {
    if (!full || m_display.displayed == m_lines.end()) {
        moveToNextLine();
    }
    if (m_display.canvas != nullptr) {
        paintPage(*m_display.canvas);
    }
}

void CLyrText::paintPage(Canvas& canvas) {
    DisplayState& d = m_display;
    const CanvasStateSaver saver(canvas);
    selectLyricFont(canvas);
    canvas.setTransparentText(true);
    const Rect& text = d.textRect;

    if (d.playedRows >= 1) {
        canvas.setTextColour(d.playedColour);
        canvas.drawTextInRect(
            Rect{text.left + d.x0, rowTop(d.half * 2), text.right - d.x0, text.bottom}, d.p0);
        if (d.playedRows == 2) {
            canvas.drawTextInRect(
                Rect{text.left + d.x1, rowTop(d.half * 2 + 1), text.right - d.x1, text.bottom},
                d.p1);
        }
    }
    canvas.setTextColour(d.songColour);

    auto line = d.displayed;
    for (std::int32_t i = d.playedRows; i < m_linesShown && line != m_lines.end(); ++i, ++line) {
        // The next page is not shown before its time.
        if (i >= 1 && line->pageStart != 0) break;
        const std::int32_t offset = centringOffset(*line);
        if (!line->text.empty()) {
            const std::int32_t top = rowTop(rowOf(i));
            const std::int32_t bottom = clampToInt32(static_cast<std::int64_t>(top) + m_lineHeight);
            canvas.drawTextInRect(Rect{text.left, top, text.right, bottom}, line->text,
                                  HAlign::Centre);
        }
        if (i == 0 && d.p0.empty()) {
            d.p0 = line->text;
            d.x0 = offset;
        }
        if (i == 1) {
            d.p1 = line->text;
            d.x1 = offset;
        }
    }
}

void CLyrText::paintEvent(bool full) {
    const SongEvent* event = cursor();
    Canvas* canvas = m_display.canvas;
    if (event == nullptr || canvas == nullptr) return;
    const CanvasStateSaver saver(*canvas);
    selectLyricFont(*canvas);

    if (full) {
        restoreBackground();
        showNextLine(true);
    } else {
        if (event->marker >= kFirstWipeMarker) {
            wipeStep();
        }
        if (event->line != nullptr && event->line != displayedLine()) {
            // Normally the event's line is the next one. A position report that jumped over
            // whole lines moves the page on line by line until it shows the event's line;
            // a line not ahead of the displayed one leaves the page alone.
            auto target = m_display.displayed == m_lines.end() ? m_lines.begin()
                                                               : std::next(m_display.displayed);
            while (target != m_lines.end() && &*target != event->line) ++target;
            if (target != m_lines.end()) {
                while (m_display.displayed != target) {
                    showNextLine(false);
                }
            }
        }
    }

    const LyricLine* displayed = displayedLine();
    if (event->length == 0 || displayed == nullptr) return;
    DisplayState& d = m_display;
    const Rect& text = d.textRect;
    canvas->setTextColour(d.playedColour);
    canvas->setTransparentText(true);
    if (d.playedRows >= 1) {
        canvas->drawTextAt(text.left + d.x0, rowTop(d.half * 2), d.p0, &text);
        if (d.playedRows == 2) {
            canvas->drawTextAt(text.left + d.x1, rowTop(d.half * 2 + 1), d.p1, &text);
        }
    }
    // The sung part runs to the end of this syllable; a full repaint stops before it, as
    // the syllable is painted when its time comes.
    const std::int64_t wanted =
        static_cast<std::int64_t>(event->lineOffset) + (full ? 0 : event->length);
    const std::size_t count = static_cast<std::size_t>(
        std::clamp<std::int64_t>(wanted, 0, static_cast<std::int64_t>(displayed->text.size())));
    if (count == 0) return;
    const std::int32_t row = d.half == 1 && d.playedRows == 2 ? 0 : d.playedRows + d.half * 2;
    canvas->drawTextAt(text.left + centringOffset(*displayed), rowTop(row),
                       std::u16string_view(displayed->text).substr(0, count), &text);
}

void CLyrText::wipeStep() {
    const SongEvent* event = cursor();
    Canvas* canvas = m_display.canvas;
    if (event == nullptr || canvas == nullptr || event->marker < kFirstWipeMarker ||
        event->marker > kLastWipeMarker) {
        return;
    }
    const Rect& area = m_lyricArea;
    if (m_display.newPictureReady) {
        const std::int64_t top =
            static_cast<std::int64_t>(area.top) +
            static_cast<std::int64_t>(event->marker - kFirstWipeMarker) * kWipeBandHeight;
        if (top >= area.bottom) return;
        const std::int64_t bottom = std::min<std::int64_t>(top + kWipeBandHeight, area.bottom);
        const Rect band{area.left, static_cast<std::int32_t>(top), area.right,
                        static_cast<std::int32_t>(bottom)};
        // The band comes from the new picture even if the song began without one.
        if (m_display.background.valid()) {
            canvas->copyPicture(m_display.background, band,
                                backgroundRect(band, canvas->dotsPerInch()));
        } else {
            fillWhite(*canvas, band);
        }
    } else if (event->marker == kLastWipeMarker) {
        fillWhite(*canvas, area);
    }
}

}  // namespace melodeck

#include "info_block.h"

#include <algorithm>
#include <string>

#include "time_text.h"

namespace melodeck {
namespace {

// The frame of the block, and the text area's margins inside it: room on the right for the
// time box, and the status line lifted off the bottom edge.
constexpr std::int32_t kFrameWidth = 2;
constexpr std::int32_t kTextLeft = 8;
constexpr std::int32_t kTextTop = 2;
constexpr std::int32_t kTextRight = 44;
constexpr std::int32_t kStatusLift = 3;

void selectInfoText(Canvas& canvas, const InfoDisplayState& state) {
    canvas.setFont(state.infoFont);
    canvas.setTextColour(kBlack);
    canvas.setTransparentText(true);
}

std::u16string widenAscii(const std::string& text) { return {text.begin(), text.end()}; }

// The time box as it is painted for `seconds`, with its two texts.
struct TimeBoxPaint {
    Rect box;
    std::u16string elapsed;
    std::u16string length;
};

// The layout's time box is narrow: in a font wider than the one it was made for, right-aligned
// times would lose their left digits. The box therefore grows to the left until the wider
// of its two texts fits, but no further than the text area's left edge. Measures in the font
// selected on `canvas`, which must be the info font.
TimeBoxPaint timeBoxFor(const Canvas& canvas, const InfoDisplayState& state, std::int32_t seconds) {
    // While the synthesizer is idle (the song has ended but its display is still up) both
    // lines show the length.
    const std::int32_t elapsed = state.synthStatus != 0 ? seconds : state.totalSeconds;
    TimeBoxPaint paint{state.areas.timeBox, timeText(elapsed), timeText(state.totalSeconds)};
    const std::int64_t needed = std::max(canvas.measureSingleLine(paint.elapsed).width,
                                         canvas.measureSingleLine(paint.length).width);
    const std::int32_t textLeft =
        state.areas.infoBlock.left + scaleX(kTextLeft, canvas.dotsPerInch());
    const std::int64_t wantedLeft =
        std::max<std::int64_t>(static_cast<std::int64_t>(paint.box.right) - needed, textLeft);
    paint.box.left = static_cast<std::int32_t>(std::min<std::int64_t>(paint.box.left, wantedLeft));
    return paint;
}

}  // namespace

std::u16string statusLineText(std::int32_t toneSteps, std::int32_t tempoSteps,
                              std::int32_t volumeSteps) {
    return widenAscii("tone: " + std::to_string(toneSteps) + "   temp: " +
                      std::to_string(tempoSteps) + "   vol: " + std::to_string(volumeSteps));
}

void PaintTime(Canvas& canvas, const InfoDisplayState& state, std::int32_t seconds, bool force) {
    if (!state.displayActive || !state.infoShown) return;
    if (!force && seconds == state.lastShownSeconds) return;
    const CanvasStateSaver saved(canvas);
    selectInfoText(canvas, state);
    const TimeBoxPaint paint = timeBoxFor(canvas, state, seconds);
    canvas.fillRect(paint.box, kInfoBlockColour);
    canvas.drawTextInRect(paint.box, paint.elapsed, HAlign::Right, VAlign::Top);
    canvas.drawTextInRect(paint.box, paint.length, HAlign::Right, VAlign::Bottom);
}

void PaintStatusArea(Canvas& canvas, const InfoDisplayState& state) {
    if (!state.infoShown) return;
    const CanvasStateSaver saved(canvas);
    const Dpi dpi = canvas.dotsPerInch();
    const Rect& block = state.areas.infoBlock;

    canvas.setPen(Pen{kBlack, scaleX(kFrameWidth, dpi)});
    canvas.drawRectangle(block, kInfoBlockColour);

    selectInfoText(canvas, state);
    // Before the first report there is no elapsed time yet: show the start, not the
    // "none yet" marker read as an unsigned count.
    const std::int32_t seconds = std::max(state.lastShownSeconds, 0);
    // The title and the status line stop where a widened time box begins.
    const Rect box = timeBoxFor(canvas, state, seconds).box;
    Rect text{block.left + scaleX(kTextLeft, dpi), block.top + scaleY(kTextTop, dpi),
              std::min(block.right - scaleX(kTextRight, dpi), box.left), block.bottom};
    canvas.drawTextInRect(text, state.title, HAlign::Left, VAlign::Top);
    text.bottom -= scaleY(kStatusLift, dpi);
    canvas.drawTextInRect(text,
                          statusLineText(state.toneSteps, state.tempoSteps, state.volumeSteps),
                          HAlign::Left, VAlign::Bottom);

    PaintTime(canvas, state, seconds, true);
}

bool ShowTime(InfoDisplayState& state, std::int32_t seconds, Canvas* canvas) {
    const bool paint = canvas != nullptr && state.displayActive && state.infoShown &&
                       seconds != state.lastShownSeconds;
    if (paint) PaintTime(*canvas, state, seconds, false);
    state.lastShownSeconds = seconds;
    return paint;
}

}  // namespace melodeck

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
    const Rect& box = state.areas.timeBox;
    canvas.fillRect(box, kInfoBlockColour);
    selectInfoText(canvas, state);
    // While the synthesizer is idle (the song has ended but its display is still up) both
    // lines show the length.
    const std::int32_t elapsed = state.synthStatus != 0 ? seconds : state.totalSeconds;
    canvas.drawTextInRect(box, timeText(elapsed), HAlign::Right, VAlign::Top);
    canvas.drawTextInRect(box, timeText(state.totalSeconds), HAlign::Right, VAlign::Bottom);
}

void PaintStatusArea(Canvas& canvas, const InfoDisplayState& state) {
    if (!state.infoShown) return;
    const CanvasStateSaver saved(canvas);
    const Dpi dpi = canvas.dotsPerInch();
    const Rect& block = state.areas.infoBlock;

    canvas.setPen(Pen{kBlack, scaleX(kFrameWidth, dpi)});
    canvas.drawRectangle(block, kInfoBlockColour);

    selectInfoText(canvas, state);
    Rect text{block.left + scaleX(kTextLeft, dpi), block.top + scaleY(kTextTop, dpi),
              block.right - scaleX(kTextRight, dpi), block.bottom};
    canvas.drawTextInRect(text, state.title, HAlign::Left, VAlign::Top);
    text.bottom -= scaleY(kStatusLift, dpi);
    canvas.drawTextInRect(text,
                          statusLineText(state.toneSteps, state.tempoSteps, state.volumeSteps),
                          HAlign::Left, VAlign::Bottom);

    // Before the first report there is no elapsed time yet: show the start, not the
    // "none yet" marker read as an unsigned count.
    PaintTime(canvas, state, std::max(state.lastShownSeconds, 0), true);
}

bool ShowTime(InfoDisplayState& state, std::int32_t seconds, Canvas* canvas) {
    const bool paint = canvas != nullptr && state.displayActive && state.infoShown &&
                       seconds != state.lastShownSeconds;
    if (paint) PaintTime(*canvas, state, seconds, false);
    state.lastShownSeconds = seconds;
    return paint;
}

}  // namespace melodeck

#pragma once

#include <cstdint>
#include <string>

#include "canvas.h"
#include "screen_areas.h"

namespace melodeck {

// The fill of the info block and of its time box.
inline constexpr Colour kInfoBlockColour = rgb(163, 197, 227);

// What the info block at the bottom of the view shows, and when. The view keeps one and
// updates it as songs open and the synthesizer reports; the painting functions below only
// read it (ShowTime also remembers the seconds it was handed).
struct InfoDisplayState {
    // The lyric display has replaced the playlist for the current song.
    bool displayActive = false;
    // The info block is visible.
    bool infoShown = true;
    // Elapsed seconds last handed to the time display; -1 before the first.
    std::int32_t lastShownSeconds = -1;
    // The song's length as the synthesizer reported it; 0 until it does.
    std::int32_t totalSeconds = 0;
    // The synthesizer's status: 0 nothing playing, 1 playing, 2 paused.
    std::int32_t synthStatus = 0;
    // The current song's title as shown.
    std::u16string title;
    // Net presses of the tone, tempo and volume commands.
    std::int32_t toneSteps = 0;
    std::int32_t tempoSteps = 0;
    std::int32_t volumeSteps = 0;
    // The font of the title, the status line and the times.
    FontSpec infoFont;
    // Where the block and its time box lie.
    ScreenAreas areas;
};

// The status line: "tone: T   temp: P   vol: V".
std::u16string statusLineText(std::int32_t toneSteps, std::int32_t tempoSteps,
                              std::int32_t volumeSteps);

// Repaints the time box for `seconds` of elapsed time: the box filled with the block
// colour, the elapsed time at its top right (the song's length instead while the
// synthesizer is idle) and the length at its bottom right, in black. In a font too wide
// for the box, the box is widened to the left (up to the text area's left edge) until both
// times fit, so none loses its left digits. Paints only while the display is active and the
// block is shown, and, unless `force` is set, only when `seconds` differs from
// state.lastShownSeconds. The canvas's state is put back.
void PaintTime(Canvas& canvas, const InfoDisplayState& state, std::int32_t seconds, bool force);

// Repaints the whole info block while it is shown: the block filled and framed in black,
// the title at its top left and the status line at its bottom left (both cut at the time
// box, widened or not), then the time box for state.lastShownSeconds (as 0 before the first). The canvas's
// state is put back.
void PaintStatusArea(Canvas& canvas, const InfoDisplayState& state);

// Hands `seconds` of elapsed time to the time display: repaints the time box on `canvas`
// when the display is active, the block shown and the seconds differ from the last shown,
// then remembers them as state.lastShownSeconds (also without a canvas, or when nothing
// was painted). Returns whether it painted.
bool ShowTime(InfoDisplayState& state, std::int32_t seconds, Canvas* canvas);

}  // namespace melodeck

#pragma once

#include <cstdint>

#include "dpi_scale.h"
#include "geometry.h"

namespace melodeck {

// The areas of the view's screen while a song is shown, in view pixels: the info block
// along the bottom (title, status line and the time box at its right), the lyric area
// above it and the strip where the song's title is shown while the playlist is up.
//
// The lengths of the layout are for a 96-dpi screen and are scaled to the running one
// (dpi_scale.h); the screen width is taken as it is.
struct ScreenAreas {
    Rect infoBlock;
    Rect timeBox;
    Rect lyricArea;
    Rect titleStrip;
    // Whether the lyric area leaves room for the info block (see setInfoBlockShown).
    bool infoBlockShown = true;

    // The areas a view has from its construction until its initial update.
    static ScreenAreas beforeInitialUpdate(std::int32_t screenWidth, Dpi dpi);

    // The areas at the view's initial update, for its client rectangle: the info block
    // keeps its left and right and sits 25 units (38 on screens of 192 dpi or more) above
    // the client's bottom, 30 units high; the time box lies at its right end; the lyric
    // area spans the screen's width down to just above the info block. The title strip and
    // infoBlockShown are kept.
    ScreenAreas atInitialUpdate(const Rect& client, std::int32_t screenWidth, Dpi dpi) const;

    // Hiding the info block moves the lyric area's bottom down by the block's height + 1,
    // so the lyrics take its place; showing it moves the bottom back. Asking for the state
    // the areas are already in changes nothing.
    void setInfoBlockShown(bool shown);
};

}  // namespace melodeck

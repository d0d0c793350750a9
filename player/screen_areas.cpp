#include "screen_areas.h"

namespace melodeck {
namespace {

// Before the initial update the areas are those of a 240 x 320 screen.
constexpr Rect kInfoBlock{0, 180, 0, 206};
constexpr Rect kTimeBox{180, 186, 0, 206};
constexpr Rect kLyricArea{5, 0, 235, 240};
constexpr Rect kTitleStrip{5, 22, 0, 36};

// The info block's distance from the client's bottom leaves room for the toolbar, whose
// images are larger on high-resolution screens.
constexpr std::int32_t kInfoBottomGap = 25;
constexpr std::int32_t kInfoBottomGapHighRes = 38;
constexpr std::int32_t kInfoHeight = 30;
// The time box inside the info block: its width from the block's right edge, and its
// margins.
constexpr std::int32_t kTimeBoxWidth = 40;
constexpr std::int32_t kTimeBoxTop = 2;
constexpr std::int32_t kTimeBoxRight = 7;
constexpr std::int32_t kTimeBoxBottom = 3;
constexpr std::int32_t kLyricGap = 1;

Rect scaled(const Rect& r, Dpi dpi, std::int32_t screenWidth) {
    // A right edge of 0 in the tables above stands for the screen width.
    return Rect{scaleX(r.left, dpi), scaleY(r.top, dpi),
                r.right == 0 ? screenWidth : scaleX(r.right, dpi), scaleY(r.bottom, dpi)};
}

}  // namespace

ScreenAreas ScreenAreas::beforeInitialUpdate(std::int32_t screenWidth, Dpi dpi) {
    ScreenAreas areas;
    areas.infoBlock = scaled(kInfoBlock, dpi, screenWidth);
    areas.timeBox = scaled(kTimeBox, dpi, screenWidth);
    areas.lyricArea = scaled(kLyricArea, dpi, screenWidth);
    areas.titleStrip = scaled(kTitleStrip, dpi, screenWidth);
    return areas;
}

ScreenAreas ScreenAreas::atInitialUpdate(const Rect& client, std::int32_t screenWidth,
                                         Dpi dpi) const {
    ScreenAreas areas = *this;
    const std::int32_t gap = isHighResolution(dpi) ? kInfoBottomGapHighRes : kInfoBottomGap;
    areas.infoBlock.bottom = client.bottom - client.top - scaleY(gap, dpi);
    areas.infoBlock.top = areas.infoBlock.bottom - scaleY(kInfoHeight, dpi);

    const Rect& info = areas.infoBlock;
    areas.timeBox =
        Rect{info.right - scaleX(kTimeBoxWidth, dpi), info.top + scaleY(kTimeBoxTop, dpi),
             info.right - scaleX(kTimeBoxRight, dpi), info.bottom - scaleY(kTimeBoxBottom, dpi)};
    areas.lyricArea = Rect{0, 0, screenWidth, info.top - scaleY(kLyricGap, dpi)};
    // The areas were made with the block shown; a hidden block gives its room again.
    if (!infoBlockShown) {
        areas.infoBlockShown = true;
        areas.setInfoBlockShown(false);
    }
    return areas;
}

void ScreenAreas::setInfoBlockShown(bool shown) {
    if (shown == infoBlockShown) return;
    const std::int32_t room = infoBlock.height() + 1;
    lyricArea.bottom += shown ? -room : room;
    infoBlockShown = shown;
}

}  // namespace melodeck

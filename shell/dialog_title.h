#pragma once

#include <cstdint>
#include <string_view>

#include "canvas.h"

namespace melodeck {

// String ids of the two captions that are drawn without the rule beneath them.
inline constexpr int kStrPicturesList = 65014;  // "Pictures list"
inline constexpr int kStrMyPlaylist = 65015;    // "My playlist"

// Paints the title of an option dialog, or of the playlist face of the view, at the top of
// its client area in the style all of them share: `title` (the text of string `stringId`,
// already loaded from the current interface language) in bold Tahoma, 10 points at the
// canvas's vertical dpi, dark blue, as one line in the rectangle (10, 5) - (200, 20); then,
// unless the id is kStrPicturesList or kStrMyPlaylist, a rule in the canvas's current pen
// across the client width, as far below the text as the text lies below the top.
// Lengths are for a 96-dpi screen, scaled by the canvas's dotsPerInch().
//
// The canvas's font, text colour, background mode and pen are as before afterwards.
void paintDialogTitle(Canvas& canvas, std::int32_t clientWidth, std::u16string_view title,
                      int stringId);

}  // namespace melodeck

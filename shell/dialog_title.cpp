#include "dialog_title.h"

#include "dpi_scale.h"

namespace melodeck {
namespace {

constexpr Colour kTitleColour = rgb(0, 0, 156);
constexpr Rect kTitleRect{10, 5, 200, 20};
constexpr std::int32_t kTitlePoints = 10;

}  // namespace

void paintDialogTitle(Canvas& canvas, std::int32_t clientWidth, std::u16string_view title,
                      int stringId) {
    const CanvasStateSaver saved(canvas);
    const Dpi dpi = canvas.dotsPerInch();

    FontSpec font;
    font.faceName = "Tahoma";
    font.bold = true;
    // The height is asked for in pixels, truncated: 13 pixels at 96 dpi.
    font.pixelHeight = kTitlePoints * dpi.height / 72;
    canvas.setFont(font);
    canvas.setTextColour(kTitleColour);
    canvas.setTransparentText(true);

    const Rect rect{scaleX(kTitleRect.left, dpi), scaleY(kTitleRect.top, dpi),
                    scaleX(kTitleRect.right, dpi), scaleY(kTitleRect.bottom, dpi)};
    const std::int32_t textHeight = canvas.drawTextInRect(rect, title);

    if (stringId == kStrPicturesList || stringId == kStrMyPlaylist) return;
    // The rule lies as far below the text's bottom as the text lies below the top.
    const std::int32_t y = textHeight + 2 * rect.top;
    canvas.drawLine(0, y, clientWidth, y);
}

}  // namespace melodeck

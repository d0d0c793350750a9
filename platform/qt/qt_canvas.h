#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "canvas.h"

class QImage;

namespace melodeck {

// The lyric font before the user chooses another. When the face is missing, the system
// substitutes its own (DejaVu Sans on a plain Debian machine).
FontSpec defaultLyricFont();

// A Canvas on a Qt font and an image that stands for the view's screen. The image has
// 96 dots per inch unless setDotsPerInch() says otherwise, so a font of p points is
// p x dpi / 72 pixels high, as on the screens the layout's pixel constants were chosen for.
// A font asked for by pixel height gets a line height of at most that many pixels.
//
// Measurements agree with one another: textExtent() is the text's advance width, and
// measureSingleLine() is that width by the font's line height (0 x 0 for an empty text).
// Kerning is off, so the extent of a text is the sum of its characters' extents.
//
// Drawing goes straight into the image; each operation begins and ends its own painter, so
// the image may be read or copied between operations. Text is drawn anti-aliased.
//
// REQUIRES: a QGuiApplication exists while the canvas is used (see QtGuiSession).
// Single-threaded: use it from the thread that owns the QGuiApplication.
class QtCanvas final : public Canvas {
public:
    // An image of `width` x `height` pixels (at least 1 x 1), filled with white, and the
    // default lyric font; black text on an opaque background, a black pen one pixel wide.
    QtCanvas(std::int32_t width, std::int32_t height);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // The family the system actually uses for the selected font.
    std::string resolvedFamily() const;

    std::int32_t maxCharWidth() const override;
    std::int32_t textExtent(std::u16string_view text) const override;
    Size measureSingleLine(std::u16string_view text) const override;
    Size dotsPerInch() const override;
    // Changes the resolution the image claims; fonts in points follow it.
    // Values below 1 count as 1.
    void setDotsPerInch(Size dotsPerInch);

    FontSpec font() const override;
    void setFont(const FontSpec& font) override;
    Colour textColour() const override;
    void setTextColour(Colour colour) override;
    bool transparentText() const override;
    void setTransparentText(bool transparent) override;
    Pen pen() const override;
    void setPen(const Pen& pen) override;

    void drawTextAt(std::int32_t x, std::int32_t y, std::u16string_view text,
                    const Rect* clip = nullptr) override;
    std::int32_t drawTextInRect(const Rect& rect, std::u16string_view text,
                                HAlign horizontal = HAlign::Left,
                                VAlign vertical = VAlign::Top) override;
    void fillRect(const Rect& rect, Colour colour) override;
    void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) override;
    void drawRectangle(const Rect& rect, Colour fill) override;
    void copyPicture(const BitmapView& picture, const Rect& source,
                     const Rect& destination) override;

    // The image painted into; it lives as long as the canvas. Whoever changes its format or
    // size through this reference must leave it in a 32-bit RGB format.
    QImage& image();
    const QImage& image() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace melodeck

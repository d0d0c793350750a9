#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "canvas.h"

namespace melodeck {

// One drawing operation as a FixedWidthCanvas recorded it, with the state it was drawn in.
struct DrawOp {
    enum class Kind : std::uint8_t { TextAt, TextInRect, Fill, Line, Rectangle, Picture };

    Kind kind = Kind::Fill;
    // TextAt: the text's cell, from (x, y) by its single-line size. TextInRect, Fill and
    // Rectangle: the rectangle given. Line: from (left, top) to (right, bottom).
    // Picture: the destination.
    Rect rect;
    // Text operations: where the text's cell lands (for TextInRect after alignment).
    Rect cell;
    std::u16string text;
    // The text colour for text, the fill colour for fills and rectangles, the pen's colour
    // for lines.
    Colour colour = kBlack;
    Pen pen;
    // TextAt: the clip rectangle given, if any. TextInRect: the rectangle itself.
    std::optional<Rect> clip;
    HAlign horizontal = HAlign::Left;
    VAlign vertical = VAlign::Top;
    // Picture: the source rectangle, and the picture's size and pixel memory (to tell
    // pictures apart; the pointer is not kept alive).
    Rect source;
    Size pictureSize;
    const std::uint8_t* pictureBits = nullptr;
    FontSpec font;
    bool transparent = false;
};

// A canvas whose font gives every character the same width and every non-empty line the
// same height, whatever font is selected. It draws nothing: it records every drawing
// operation in order, so tests can check what is drawn, where, in which colour and state.
// Serves tests and the tools' reproducible layouts.
//
// The state starts as a fresh device context's: no font name, black text on an opaque
// (white) background, a black pen one pixel wide, 96 dots per inch.
class FixedWidthCanvas : public Canvas {
public:
    FixedWidthCanvas(std::int32_t charWidth, std::int32_t lineHeight)
        : m_charWidth(charWidth), m_lineHeight(lineHeight) {}

    std::int32_t maxCharWidth() const override { return m_charWidth; }
    std::int32_t textExtent(std::u16string_view text) const override;
    Size measureSingleLine(std::u16string_view text) const override;
    Size dotsPerInch() const override { return m_dotsPerInch; }
    void setDotsPerInch(Size dotsPerInch) { m_dotsPerInch = dotsPerInch; }

    FontSpec font() const override { return m_font; }
    void setFont(const FontSpec& font) override { m_font = font; }
    Colour textColour() const override { return m_textColour; }
    void setTextColour(Colour colour) override { m_textColour = colour; }
    bool transparentText() const override { return m_transparent; }
    void setTransparentText(bool transparent) override { m_transparent = transparent; }
    Pen pen() const override { return m_pen; }
    void setPen(const Pen& pen) override { m_pen = pen; }

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

    // Every drawing operation since construction or the last clearOps(), oldest first.
    const std::vector<DrawOp>& ops() const { return m_ops; }
    void clearOps() { m_ops.clear(); }

private:
    DrawOp stateOp(DrawOp::Kind kind) const;

    std::int32_t m_charWidth;
    std::int32_t m_lineHeight;
    Size m_dotsPerInch{96, 96};
    FontSpec m_font;
    Colour m_textColour = kBlack;
    bool m_transparent = false;
    Pen m_pen;
    std::vector<DrawOp> m_ops;
};

}  // namespace melodeck

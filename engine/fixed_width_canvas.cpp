#include "fixed_width_canvas.h"

#include <algorithm>
#include <limits>

namespace melodeck {

namespace {

// Widths of absurdly long texts saturate instead of wrapping round.
std::int32_t widthOf(std::size_t characters, std::int32_t charWidth) {
    const std::int64_t width = static_cast<std::int64_t>(std::min<std::size_t>(
                                   characters, std::numeric_limits<std::int32_t>::max())) *
                               charWidth;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        width, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t saturatedSum(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(a) + b, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t FixedWidthCanvas::textExtent(std::u16string_view text) const {
    return widthOf(text.size(), m_charWidth);
}

Size FixedWidthCanvas::measureSingleLine(std::u16string_view text) const {
    if (text.empty()) {
        return {};
    }
    return {widthOf(text.size(), m_charWidth), m_lineHeight};
}

DrawOp FixedWidthCanvas::stateOp(DrawOp::Kind kind) const {
    DrawOp op;
    op.kind = kind;
    op.colour = m_textColour;
    op.pen = m_pen;
    op.font = m_font;
    op.transparent = m_transparent;
    return op;
}

void FixedWidthCanvas::drawTextAt(std::int32_t x, std::int32_t y, std::u16string_view text,
                                  const Rect* clip) {
    DrawOp op = stateOp(DrawOp::Kind::TextAt);
    const Size size = measureSingleLine(text);
    op.rect = Rect{x, y, saturatedSum(x, size.width), saturatedSum(y, size.height)};
    op.cell = op.rect;
    op.text = text;
    if (clip != nullptr) {
        op.clip = *clip;
    }
    m_ops.push_back(std::move(op));
}

std::int32_t FixedWidthCanvas::drawTextInRect(const Rect& rect, std::u16string_view text,
                                              HAlign horizontal, VAlign vertical) {
    DrawOp op = stateOp(DrawOp::Kind::TextInRect);
    const Size size = measureSingleLine(text);
    std::int32_t x = rect.left;
    if (horizontal == HAlign::Centre) {
        x = static_cast<std::int32_t>(rect.left +
                                      (static_cast<std::int64_t>(rect.width()) - size.width) / 2);
    } else if (horizontal == HAlign::Right) {
        x = saturatedSum(rect.right, -size.width);
    }
    const std::int32_t y =
        vertical == VAlign::Bottom ? saturatedSum(rect.bottom, -size.height) : rect.top;
    op.rect = rect;
    op.cell = Rect{x, y, saturatedSum(x, size.width), saturatedSum(y, size.height)};
    op.text = text;
    op.clip = rect;
    op.horizontal = horizontal;
    op.vertical = vertical;
    m_ops.push_back(std::move(op));
    return size.height;
}

void FixedWidthCanvas::fillRect(const Rect& rect, Colour colour) {
    DrawOp op = stateOp(DrawOp::Kind::Fill);
    op.rect = rect;
    op.colour = colour;
    m_ops.push_back(std::move(op));
}

void FixedWidthCanvas::drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                std::int32_t y1) {
    DrawOp op = stateOp(DrawOp::Kind::Line);
    op.rect = Rect{x0, y0, x1, y1};
    op.colour = m_pen.colour;
    m_ops.push_back(std::move(op));
}

void FixedWidthCanvas::drawRectangle(const Rect& rect, Colour fill) {
    DrawOp op = stateOp(DrawOp::Kind::Rectangle);
    op.rect = rect;
    op.colour = fill;
    m_ops.push_back(std::move(op));
}

void FixedWidthCanvas::copyPicture(const BitmapView& picture, const Rect& source,
                                   const Rect& destination) {
    DrawOp op = stateOp(DrawOp::Kind::Picture);
    op.rect = destination;
    op.source = source;
    op.pictureSize = Size{picture.width, picture.height};
    op.pictureBits = picture.bits.data();
    m_ops.push_back(std::move(op));
}

}  // namespace melodeck

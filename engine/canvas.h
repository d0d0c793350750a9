#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "bitmap_view.h"
#include "geometry.h"

namespace melodeck {

// A colour as the settings store it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}
constexpr std::uint8_t redOf(Colour c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t greenOf(Colour c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t blueOf(Colour c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);

// A font request. `pixelHeight` > 0 asks for a character cell of that many pixels; otherwise
// `pointSize` is used (points at the canvas's vertical resolution).
struct FontSpec {
    std::string faceName;
    std::int32_t pointSize = 0;
    bool bold = false;
    bool italic = false;
    std::int32_t pixelHeight = 0;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A solid pen for lines and frames.
struct Pen {
    Colour colour = kBlack;
    std::int32_t width = 1;

    friend constexpr bool operator==(const Pen&, const Pen&) = default;
};

// Where single-line text goes inside a rectangle.
enum class HAlign : std::uint8_t { Left, Centre, Right };
enum class VAlign : std::uint8_t { Top, Bottom };

// Text measuring and drawing in the font that the owner has selected, fills, lines and
// picture copies. The engine lays lyrics out and paints them only through this interface;
// the platform implements it on a real font and image, tests on a fixed-width font.
//
// The canvas keeps a state as a device context does: a font, a text colour, a background
// mode for text, and a pen. Operations that change it for a while put it back themselves
// (see CanvasStateSaver).
class Canvas {
public:
    virtual ~Canvas() = default;

    // ---- Measuring --------------------------------------------------------------------

    // Width in pixels of the widest character of the current font.
    virtual std::int32_t maxCharWidth() const = 0;

    // Width in pixels of `text` drawn on one line in the current font (a text extent).
    virtual std::int32_t textExtent(std::u16string_view text) const = 0;

    // The size of the rectangle that single-line drawing of `text` would fill, measured
    // without drawing. An empty text measures 0 x 0.
    virtual Size measureSingleLine(std::u16string_view text) const = 0;

    // Logical dots per inch of the surface, horizontally and vertically.
    virtual Size dotsPerInch() const { return {96, 96}; }

    // ---- State ------------------------------------------------------------------------

    virtual FontSpec font() const = 0;
    virtual void setFont(const FontSpec& font) = 0;
    virtual Colour textColour() const = 0;
    virtual void setTextColour(Colour colour) = 0;
    // With a transparent background text leaves the pixels between its glyphs alone;
    // otherwise it fills its cell with white first.
    virtual bool transparentText() const = 0;
    virtual void setTransparentText(bool transparent) = 0;
    virtual Pen pen() const = 0;
    virtual void setPen(const Pen& pen) = 0;

    // ---- Drawing ----------------------------------------------------------------------

    // Draws `text` as one line with its cell's top-left corner at (x, y), in the text
    // colour. With a clip rectangle, nothing is drawn outside it.
    virtual void drawTextAt(std::int32_t x, std::int32_t y, std::u16string_view text,
                            const Rect* clip = nullptr) = 0;

    // Draws `text` as one line inside `rect`, placed as the alignments say and cut at the
    // rectangle's edges. Returns the height of the drawn line (0 for an empty text).
    virtual std::int32_t drawTextInRect(const Rect& rect, std::u16string_view text,
                                        HAlign horizontal = HAlign::Left,
                                        VAlign vertical = VAlign::Top) = 0;

    // Fills `rect` with a solid colour.
    virtual void fillRect(const Rect& rect, Colour colour) = 0;

    // A line with the current pen from (x0, y0) up to, not including, (x1, y1).
    virtual void drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) = 0;

    // A rectangle filled with `fill` and framed with the current pen, the frame centred on
    // the rectangle's edges.
    virtual void drawRectangle(const Rect& rect, Colour fill) = 0;

    // Copies the `source` rectangle of `picture` (picture coordinates, y from the top) onto
    // the `destination` rectangle, stretched when the sizes differ. A source pixel outside
    // the picture shows its nearest edge pixel. Nothing is drawn for an invalid picture or
    // empty rectangles.
    virtual void copyPicture(const BitmapView& picture, const Rect& source,
                             const Rect& destination) = 0;
};

// Puts a canvas's font, text colour, background mode and pen back when it goes out of scope.
class CanvasStateSaver {
public:
    explicit CanvasStateSaver(Canvas& canvas)
        : m_canvas(canvas),
          m_font(canvas.font()),
          m_textColour(canvas.textColour()),
          m_transparent(canvas.transparentText()),
          m_pen(canvas.pen()) {}
    ~CanvasStateSaver() {
        m_canvas.setFont(m_font);
        m_canvas.setTextColour(m_textColour);
        m_canvas.setTransparentText(m_transparent);
        m_canvas.setPen(m_pen);
    }
    CanvasStateSaver(const CanvasStateSaver&) = delete;
    CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

private:
    Canvas& m_canvas;
    FontSpec m_font;
    Colour m_textColour;
    bool m_transparent;
    Pen m_pen;
};

}  // namespace melodeck

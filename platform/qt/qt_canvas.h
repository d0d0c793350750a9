#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "canvas.h"

class QImage;

namespace melodeck {

// A font as the settings describe it: face name, size in points, weight and slant.
struct FontSpec {
    std::string faceName;
    std::int32_t pointSize = 0;
    bool bold = false;
    bool italic = false;
};

// The lyric font before the user chooses another. When the face is missing, the system
// substitutes its own (DejaVu Sans on a plain Debian machine).
FontSpec defaultLyricFont();

// A Canvas on a Qt font and an image that stands for the view's screen. The image has
// 96 dots per inch, so a font of p points is p x 96 / 72 pixels high, as on the screens the
// layout's pixel constants were chosen for.
//
// Measurements agree with one another: textExtent() is the text's advance width, and
// measureSingleLine() is that width by the font's line height (0 x 0 for an empty text).
// Kerning is off, so the extent of a text is the sum of its characters' extents.
//
// REQUIRES: a QGuiApplication exists while the canvas is used (see QtGuiSession).
// Single-threaded: use it from the thread that owns the QGuiApplication.
class QtCanvas final : public Canvas {
public:
    // An image of `width` x `height` pixels (at least 1 x 1), filled with white, and the
    // default lyric font.
    QtCanvas(std::int32_t width, std::int32_t height);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // Selects the font for every later measure.
    void setFont(const FontSpec& font);
    // The family the system actually uses for the selected font.
    std::string resolvedFamily() const;

    std::int32_t maxCharWidth() const override;
    std::int32_t textExtent(std::u16string_view text) const override;
    Size measureSingleLine(std::u16string_view text) const override;

    // The image painted into; it lives as long as the canvas.
    QImage& image();
    const QImage& image() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace melodeck

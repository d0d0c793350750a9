#include "qt_canvas.h"

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace melodeck {
namespace {

constexpr double kMetresPerInch = 0.0254;

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QColor toQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

int dotsPerMetre(std::int32_t dotsPerInch) {
    return static_cast<int>(std::lround(std::max(1, dotsPerInch) / kMetresPerInch));
}

// A rectangle with positive width and height, or nothing.
std::optional<QRect> toQRect(const Rect& rect) {
    if (rect.width() <= 0 || rect.height() <= 0) return std::nullopt;
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

QFont makeFont(const FontSpec& wanted, const QPaintDevice& device) {
    QFont font(QString::fromStdString(wanted.faceName));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    // Text extents are measured prefix by prefix during layout; without kerning a longer
    // prefix is never narrower than a shorter one.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (wanted.pixelHeight <= 0) {
        font.setPointSize(std::max(1, wanted.pointSize));
        return font;
    }
    // A pixel size is the em height; the cell (ascent plus descent) is usually larger.
    // Start from the proportional guess and shrink until the cell fits the request.
    const int cell = std::min(wanted.pixelHeight, 10000);
    font.setPixelSize(cell);
    const int measured = QFontMetrics(font, &device).height();
    if (measured > cell) {
        int size = std::max(1, static_cast<int>(static_cast<std::int64_t>(cell) * cell / measured));
        font.setPixelSize(size);
        while (size > 1 && QFontMetrics(font, &device).height() > cell) {
            font.setPixelSize(--size);
        }
    }
    return font;
}

}  // namespace

FontSpec defaultLyricFont() { return FontSpec{"Tahoma", 16, true, false}; }

struct QtCanvas::Impl {
    Impl(std::int32_t width, std::int32_t height)
        : image(std::max(1, width), std::max(1, height), QImage::Format_RGB32),
          request(defaultLyricFont()),
          font(),
          metrics(font, &image) {
        image.setDotsPerMeterX(dotsPerMetre(96));
        image.setDotsPerMeterY(dotsPerMetre(96));
        image.fill(Qt::white);
        selectFont(request);
    }

    void selectFont(const FontSpec& wanted) {
        request = wanted;
        font = makeFont(request, image);
        metrics = QFontMetrics(font, &image);
    }

    // The painter for one operation. Lines and frames are drawn without anti-aliasing,
    // as a device context draws them.
    std::unique_ptr<QPainter> painter() {
        if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
            image.convertTo(QImage::Format_RGB32);
        }
        auto p = std::make_unique<QPainter>(&image);
        p->setRenderHint(QPainter::Antialiasing, false);
        return p;
    }

    QPen qPen() const {
        QPen result(toQColor(pen.colour));
        result.setWidth(std::max(1, pen.width));
        result.setCapStyle(Qt::FlatCap);
        result.setJoinStyle(Qt::MiterJoin);
        return result;
    }

    // Text with its cell's top-left corner at (x, y), cut at `clip` when given.
    void drawText(int x, int y, std::u16string_view text, const std::optional<QRect>& clip) {
        const QString string = toQString(text);
        auto p = painter();
        if (clip) p->setClipRect(*clip);
        if (!transparent) {
            p->fillRect(QRect(x, y, metrics.horizontalAdvance(string), metrics.height()),
                        Qt::white);
        }
        p->setFont(font);
        p->setPen(toQColor(textColour));
        p->drawText(QPoint(x, y + metrics.ascent()), string);
    }

    QImage image;
    FontSpec request;
    QFont font;
    QFontMetrics metrics;
    Colour textColour = kBlack;
    bool transparent = false;
    Pen pen;
};

QtCanvas::QtCanvas(std::int32_t width, std::int32_t height)
    : m_impl(std::make_unique<Impl>(width, height)) {}

QtCanvas::~QtCanvas() = default;

std::string QtCanvas::resolvedFamily() const {
    return QFontInfo(m_impl->font).family().toStdString();
}

std::int32_t QtCanvas::maxCharWidth() const { return m_impl->metrics.maxWidth(); }

std::int32_t QtCanvas::textExtent(std::u16string_view text) const {
    if (text.empty()) return 0;
    return m_impl->metrics.horizontalAdvance(toQString(text));
}

Size QtCanvas::measureSingleLine(std::u16string_view text) const {
    if (text.empty()) return Size{};
    return Size{textExtent(text), m_impl->metrics.height()};
}

Size QtCanvas::dotsPerInch() const {
    return Size{m_impl->image.logicalDpiX(), m_impl->image.logicalDpiY()};
}

void QtCanvas::setDotsPerInch(Size dotsPerInch) {
    m_impl->image.setDotsPerMeterX(dotsPerMetre(dotsPerInch.width));
    m_impl->image.setDotsPerMeterY(dotsPerMetre(dotsPerInch.height));
    m_impl->selectFont(m_impl->request);
}

FontSpec QtCanvas::font() const { return m_impl->request; }

void QtCanvas::setFont(const FontSpec& font) {
    // Savers put the same font back again and again; building a font is not cheap.
    if (font == m_impl->request) return;
    m_impl->selectFont(font);
}

Colour QtCanvas::textColour() const { return m_impl->textColour; }

void QtCanvas::setTextColour(Colour colour) { m_impl->textColour = colour; }

bool QtCanvas::transparentText() const { return m_impl->transparent; }

void QtCanvas::setTransparentText(bool transparent) { m_impl->transparent = transparent; }

Pen QtCanvas::pen() const { return m_impl->pen; }

void QtCanvas::setPen(const Pen& pen) { m_impl->pen = pen; }

void QtCanvas::drawTextAt(std::int32_t x, std::int32_t y, std::u16string_view text,
                          const Rect* clip) {
    if (text.empty()) return;
    std::optional<QRect> clipRect;
    if (clip != nullptr) {
        clipRect = toQRect(*clip);
        if (!clipRect) return;
    }
    m_impl->drawText(x, y, text, clipRect);
}

std::int32_t QtCanvas::drawTextInRect(const Rect& rect, std::u16string_view text, HAlign horizontal,
                                      VAlign vertical) {
    if (text.empty()) return 0;
    const Size size = measureSingleLine(text);
    std::int64_t x = rect.left;
    if (horizontal == HAlign::Centre) {
        x += (static_cast<std::int64_t>(rect.width()) - size.width) / 2;
    } else if (horizontal == HAlign::Right) {
        x = static_cast<std::int64_t>(rect.right) - size.width;
    }
    const std::int64_t y = vertical == VAlign::Bottom
                               ? static_cast<std::int64_t>(rect.bottom) - size.height
                               : rect.top;
    const std::optional<QRect> clip = toQRect(rect);
    if (clip) {
        m_impl->drawText(static_cast<int>(x), static_cast<int>(y), text, clip);
    }
    return size.height;
}

void QtCanvas::fillRect(const Rect& rect, Colour colour) {
    const std::optional<QRect> area = toQRect(rect);
    if (!area) return;
    m_impl->painter()->fillRect(*area, toQColor(colour));
}

void QtCanvas::drawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    if (x0 == x1 && y0 == y1) return;
    auto p = m_impl->painter();
    p->setPen(m_impl->qPen());
    p->drawLine(QPoint(x0, y0), QPoint(x1, y1));
}

void QtCanvas::drawRectangle(const Rect& rect, Colour fill) {
    const std::optional<QRect> area = toQRect(rect);
    if (!area) return;
    auto p = m_impl->painter();
    p->fillRect(*area, toQColor(fill));
    p->setPen(m_impl->qPen());
    p->setBrush(Qt::NoBrush);
    // A one-pixel frame of QRect(l, t, w - 1, h - 1) covers columns l to r - 1: the frame
    // lies on the rectangle's outermost pixels; wider pens spread to both sides of them.
    p->drawRect(QRect(rect.left, rect.top, area->width() - 1, area->height() - 1));
}

void QtCanvas::copyPicture(const BitmapView& picture, const Rect& source, const Rect& destination) {
    if (!picture.valid() || source.width() <= 0 || source.height() <= 0 ||
        destination.width() <= 0 || destination.height() <= 0) {
        return;
    }
    QImage& image = m_impl->image;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) {
        image.convertTo(QImage::Format_RGB32);
    }
    const std::int64_t left = std::max<std::int64_t>(destination.left, 0);
    const std::int64_t right = std::min<std::int64_t>(destination.right, image.width());
    const std::int64_t top = std::max<std::int64_t>(destination.top, 0);
    const std::int64_t bottom = std::min<std::int64_t>(destination.bottom, image.height());
    if (left >= right || top >= bottom) return;

    // Nearest-neighbour stretching, as a block copy does: destination pixel d takes source
    // pixel source.left + (d - destination.left) x source width / destination width.
    // The source column of every destination column is worked out once. A source pixel
    // beyond the picture takes the nearest edge pixel: a picture smaller than the area
    // goes on in its own edge colours, so lyrics in colours chosen for the picture stay
    // readable there.
    const auto clampTo = [](std::int64_t v, std::int32_t size) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, size - 1));
    };
    std::vector<std::int32_t> columns(static_cast<std::size_t>(right - left));
    for (std::int64_t dx = left; dx < right; ++dx) {
        const std::int64_t sx =
            source.left + (dx - destination.left) * source.width() / destination.width();
        columns[static_cast<std::size_t>(dx - left)] = clampTo(sx, picture.width);
    }
    const std::uint8_t* bits = picture.bits.data();
    const std::size_t stride = static_cast<std::size_t>(picture.rowPixels) * 3u;
    for (std::int64_t dy = top; dy < bottom; ++dy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(dy))) + left;
        const std::int32_t sy = clampTo(
            source.top + (dy - destination.top) * source.height() / destination.height(),
            picture.height);
        // Rows are stored bottom-up, each pixel as B, G, R.
        const std::uint8_t* row = bits + static_cast<std::size_t>(picture.height - 1 - sy) * stride;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(columns[i]) * 3u;
            line[i] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
}

QImage& QtCanvas::image() { return m_impl->image; }

const QImage& QtCanvas::image() const { return m_impl->image; }

}  // namespace melodeck

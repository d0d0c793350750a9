#include "qt_canvas.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <algorithm>

namespace melodeck {
namespace {

// 96 dots per inch, in the dots per metre that QImage keeps.
constexpr int kDotsPerMetre96Dpi = 3780;

QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QFont makeFont(const FontSpec& wanted) {
    QFont font(QString::fromStdString(wanted.faceName));
    font.setPointSize(std::max(1, wanted.pointSize));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    // Text extents are measured prefix by prefix during layout; without kerning a longer
    // prefix is never narrower than a shorter one.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace

FontSpec defaultLyricFont() {
    return FontSpec{"Tahoma", 16, true, false};
}

struct QtCanvas::Impl {
    Impl(std::int32_t width, std::int32_t height)
        : image(std::max(1, width), std::max(1, height), QImage::Format_RGB32),
          font(makeFont(defaultLyricFont())),
          metrics(font, &image) {
        image.setDotsPerMeterX(kDotsPerMetre96Dpi);
        image.setDotsPerMeterY(kDotsPerMetre96Dpi);
        image.fill(Qt::white);
        metrics = QFontMetrics(font, &image);
    }

    QImage image;
    QFont font;
    QFontMetrics metrics;
};

QtCanvas::QtCanvas(std::int32_t width, std::int32_t height)
    : m_impl(std::make_unique<Impl>(width, height)) {}

QtCanvas::~QtCanvas() = default;

void QtCanvas::setFont(const FontSpec& font) {
    m_impl->font = makeFont(font);
    m_impl->metrics = QFontMetrics(m_impl->font, &m_impl->image);
}

std::string QtCanvas::resolvedFamily() const {
    return QFontInfo(m_impl->font).family().toStdString();
}

std::int32_t QtCanvas::maxCharWidth() const {
    return m_impl->metrics.maxWidth();
}

std::int32_t QtCanvas::textExtent(std::u16string_view text) const {
    if (text.empty()) return 0;
    return m_impl->metrics.horizontalAdvance(toQString(text));
}

Size QtCanvas::measureSingleLine(std::u16string_view text) const {
    if (text.empty()) return Size{};
    return Size{textExtent(text), m_impl->metrics.height()};
}

QImage& QtCanvas::image() {
    return m_impl->image;
}

const QImage& QtCanvas::image() const {
    return m_impl->image;
}

}  // namespace melodeck

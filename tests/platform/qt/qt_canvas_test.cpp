#include "qt_canvas.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "qt_gui_session.h"

namespace melodeck {
namespace {

// Properties every font must give, whichever face the system substitutes: no test here
// depends on a particular font's pixels.
class QtCanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_session = std::make_unique<QtGuiSession>(); }
    static void TearDownTestSuite() { s_session.reset(); }

    QtCanvas m_canvas{240, 320};

private:
    static inline std::unique_ptr<QtGuiSession> s_session;
};

const std::u16string kSample = u"Happy birthday to you, W\u00e9ll \u0416\u0438\u0437\u043d\u044c!";

TEST_F(QtCanvasTest, EmptyTextMeasuresNothing) {
    EXPECT_EQ(m_canvas.textExtent(u""), 0);
    EXPECT_EQ(m_canvas.measureSingleLine(u""), (Size{0, 0}));
}

TEST_F(QtCanvasTest, ExtentsGrowWithEveryCharacterAndPrefixesAddUp) {
    std::int32_t previous = 0;
    for (std::size_t n = 1; n <= kSample.size(); ++n) {
        const std::u16string_view prefix = std::u16string_view(kSample).substr(0, n);
        const std::int32_t extent = m_canvas.textExtent(prefix);
        EXPECT_GE(extent, previous) << "prefix of " << n;
        // Without kerning a text is as wide as its characters together.
        const std::int32_t last = m_canvas.textExtent(prefix.substr(n - 1));
        EXPECT_EQ(extent, previous + last) << "prefix of " << n;
        previous = extent;
    }
    EXPECT_GT(m_canvas.textExtent(u"W"), 0);
}

TEST_F(QtCanvasTest, SingleLineMeasureIsExtentByConstantHeight) {
    const std::int32_t height = m_canvas.measureSingleLine(u"a").height;
    EXPECT_GT(height, 0);
    for (const std::u16string& text :
         {std::u16string(u"a"), std::u16string(u"Wy"), std::u16string(u"\u0416"), kSample}) {
        const Size size = m_canvas.measureSingleLine(text);
        EXPECT_EQ(size.width, m_canvas.textExtent(text));
        EXPECT_EQ(size.height, height);
    }
}

TEST_F(QtCanvasTest, MaxCharWidthCoversEveryCharacter) {
    const std::int32_t maxWidth = m_canvas.maxCharWidth();
    for (char16_t c = 0x20; c < 0x500; ++c) {
        if (c >= 0x7F && c < 0xA0) continue;
        EXPECT_LE(m_canvas.textExtent(std::u16string(1, c)), maxWidth) << int(c);
    }
}

TEST_F(QtCanvasTest, LargerAndBolderFontsMeasureWider) {
    const std::u16string text = u"Karaoke";
    FontSpec font = defaultLyricFont();
    font.bold = false;
    font.pointSize = 8;
    m_canvas.setFont(font);
    const Size small = m_canvas.measureSingleLine(text);
    font.pointSize = 24;
    m_canvas.setFont(font);
    const Size large = m_canvas.measureSingleLine(text);
    EXPECT_GT(large.width, small.width);
    EXPECT_GT(large.height, small.height);
    font.bold = true;
    m_canvas.setFont(font);
    EXPECT_GE(m_canvas.textExtent(text), large.width);
}

TEST_F(QtCanvasTest, MissingFaceFallsBackToASystemFont) {
    m_canvas.setFont(FontSpec{"No Such Face Anywhere", 16, false, false});
    EXPECT_FALSE(m_canvas.resolvedFamily().empty());
    EXPECT_GT(m_canvas.textExtent(u"abc"), 0);
    EXPECT_GT(m_canvas.maxCharWidth(), 0);
}

// ---- Painting ---------------------------------------------------------------------------

QRgb pixel(const QtCanvas& canvas, int x, int y) { return canvas.image().pixel(x, y) & 0xFFFFFFu; }

constexpr QRgb kWhitePixel = 0xFFFFFF;

// Pixels of the image inside and outside `rect` that have exactly `colour`.
struct ColourCount {
    int inside = 0;
    int outside = 0;
};
ColourCount countColour(const QtCanvas& canvas, const Rect& rect, QRgb colour) {
    ColourCount count;
    const QImage& image = canvas.image();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != colour) continue;
            const bool in = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            ++(in ? count.inside : count.outside);
        }
    }
    return count;
}

TEST_F(QtCanvasTest, FillCoversExactlyItsRectangleInTheGivenColour) {
    m_canvas.fillRect(Rect{10, 20, 30, 25}, rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(pixel(m_canvas, 10, 20), 0x123456u);
    EXPECT_EQ(pixel(m_canvas, 29, 24), 0x123456u);
    EXPECT_EQ(pixel(m_canvas, 30, 24), kWhitePixel);
    EXPECT_EQ(pixel(m_canvas, 29, 25), kWhitePixel);
    EXPECT_EQ(pixel(m_canvas, 9, 20), kWhitePixel);
    EXPECT_EQ(countColour(m_canvas, Rect{10, 20, 30, 25}, 0x123456).inside, 20 * 5);
    m_canvas.fillRect(Rect{50, 50, 40, 60}, kBlack);  // empty: nothing
    EXPECT_EQ(countColour(m_canvas, Rect{}, 0).outside, 0);
}

// A 5 x 3 picture in the loader's layout (rows bottom-up, B G R, rows padded to 8 pixels),
// each pixel's red the column, green the row, blue 200.
struct SmallPicture {
    static constexpr int kWidth = 5;
    static constexpr int kHeight = 3;
    static constexpr int kRowPixels = 8;
    SmallPicture() : bits(kRowPixels * 3 * kHeight, 0) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                std::uint8_t* p =
                    &bits[static_cast<std::size_t>(((kHeight - 1 - y) * kRowPixels + x) * 3)];
                p[0] = 200;
                p[1] = static_cast<std::uint8_t>(10 * y);
                p[2] = static_cast<std::uint8_t>(10 * x);
            }
        }
    }
    BitmapView view() const { return BitmapView{kWidth, kHeight, kRowPixels, bits}; }
    static QRgb expected(int x, int y) { return qRgb(10 * x, 10 * y, 200) & 0xFFFFFFu; }
    std::vector<std::uint8_t> bits;
};

TEST_F(QtCanvasTest, PictureCopyReadsRowsBottomUpInBlueGreenRedOrder) {
    const SmallPicture picture;
    m_canvas.copyPicture(picture.view(), Rect{1, 1, 4, 3}, Rect{100, 50, 103, 52});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixel(m_canvas, 100 + x, 50 + y), SmallPicture::expected(1 + x, 1 + y))
                << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(m_canvas, 103, 50), kWhitePixel);
    EXPECT_EQ(pixel(m_canvas, 100, 52), kWhitePixel);
}

TEST_F(QtCanvasTest, PictureCopyStretchesEachPixelAndContinuesItsEdgesBeyondThePicture) {
    const SmallPicture picture;
    m_canvas.fillRect(Rect{0, 0, 240, 320}, kBlack);
    // Twice the size, with the source running two columns and one row past the picture.
    m_canvas.copyPicture(picture.view(), Rect{0, 0, 7, 4}, Rect{10, 10, 24, 18});
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 14; ++x) {
            const int sx = std::min(x / 2, SmallPicture::kWidth - 1);
            const int sy = std::min(y / 2, SmallPicture::kHeight - 1);
            const QRgb want = SmallPicture::expected(sx, sy);
            ASSERT_EQ(pixel(m_canvas, 10 + x, 10 + y), want) << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(m_canvas, 24, 10), 0u);
    EXPECT_EQ(pixel(m_canvas, 10, 18), 0u);
}

TEST_F(QtCanvasTest, PictureCopyIsCutAtTheImageEdgesAndRefusesBadPictures) {
    const SmallPicture picture;
    m_canvas.copyPicture(picture.view(), Rect{0, 0, 5, 3}, Rect{-2, -1, 3, 2});
    EXPECT_EQ(pixel(m_canvas, 0, 0), SmallPicture::expected(2, 1));
    m_canvas.copyPicture(picture.view(), Rect{0, 0, 5, 3}, Rect{238, 318, 243, 321});
    EXPECT_EQ(pixel(m_canvas, 239, 319), SmallPicture::expected(1, 1));

    BitmapView shortBits = picture.view();
    shortBits.bits = shortBits.bits.first(10);  // claims more rows than it holds
    m_canvas.copyPicture(shortBits, Rect{0, 0, 5, 3}, Rect{50, 50, 55, 53});
    EXPECT_EQ(pixel(m_canvas, 50, 50), kWhitePixel);
}

TEST_F(QtCanvasTest, TextInAColourStaysInsideItsClip) {
    constexpr Colour kRed = rgb(255, 0, 0);
    m_canvas.setTextColour(kRed);
    m_canvas.setTransparentText(true);
    const Rect clip{20, 40, 60, 80};
    m_canvas.drawTextAt(10, 40, u"WWWWWWWWWW", &clip);
    const ColourCount red = countColour(m_canvas, clip, 0xFF0000);
    EXPECT_GT(red.inside, 20);
    EXPECT_EQ(red.outside, 0);
    // Anti-aliased edges blend, but nothing at all is drawn outside the clip.
    EXPECT_EQ(countColour(m_canvas, clip, kWhitePixel).outside, 240 * 320 - 40 * 40);
}

TEST_F(QtCanvasTest, TextInARectangleIsAlignedAndCut) {
    m_canvas.setTextColour(rgb(0, 0, 255));
    const Rect rect{0, 100, 240, 160};
    const std::int32_t height =
        m_canvas.drawTextInRect(rect, u"MMM", HAlign::Right, VAlign::Bottom);
    EXPECT_EQ(height, m_canvas.measureSingleLine(u"MMM").height);
    const Rect cell{240 - m_canvas.textExtent(u"MMM"), 160 - height, 240, 160};
    const ColourCount blue = countColour(m_canvas, cell, 0x0000FF);
    EXPECT_GT(blue.inside, 10);
    EXPECT_EQ(blue.outside, 0);
    EXPECT_EQ(m_canvas.drawTextInRect(rect, u""), 0);
}

TEST_F(QtCanvasTest, OpaqueTextWhitensItsCellTransparentTextDoesNot) {
    m_canvas.fillRect(Rect{0, 0, 240, 320}, rgb(0, 128, 0));
    m_canvas.setTextColour(kBlack);
    m_canvas.setTransparentText(false);
    m_canvas.drawTextAt(0, 0, u"i i");
    EXPECT_GT(countColour(m_canvas, Rect{0, 0, 240, 320}, kWhitePixel).inside, 0);
    m_canvas.fillRect(Rect{0, 0, 240, 320}, rgb(0, 128, 0));
    m_canvas.setTransparentText(true);
    m_canvas.drawTextAt(0, 0, u"i i");
    EXPECT_EQ(countColour(m_canvas, Rect{0, 0, 240, 320}, kWhitePixel).inside, 0);
}

TEST_F(QtCanvasTest, FontFollowsTheResolutionAndPixelHeightBoundsTheLine) {
    FontSpec font = defaultLyricFont();
    m_canvas.setFont(font);
    const std::int32_t at96 = m_canvas.measureSingleLine(u"Ab").height;
    m_canvas.setDotsPerInch({192, 192});
    EXPECT_EQ(m_canvas.dotsPerInch(), (Size{192, 192}));
    EXPECT_GT(m_canvas.measureSingleLine(u"Ab").height, at96 * 3 / 2);
    font.pixelHeight = 30;
    m_canvas.setFont(font);
    const std::int32_t line = m_canvas.measureSingleLine(u"Ab").height;
    EXPECT_LE(line, 30);
    EXPECT_GE(line, 24);
    EXPECT_EQ(m_canvas.font(), font);
}

TEST_F(QtCanvasTest, RectangleIsFilledAndFramedWithThePen) {
    m_canvas.setPen(Pen{rgb(255, 0, 0), 1});
    m_canvas.drawRectangle(Rect{10, 10, 20, 16}, rgb(0, 0, 255));
    EXPECT_EQ(pixel(m_canvas, 10, 10), 0xFF0000u);
    EXPECT_EQ(pixel(m_canvas, 19, 15), 0xFF0000u);
    EXPECT_EQ(pixel(m_canvas, 15, 13), 0x0000FFu);
    EXPECT_EQ(pixel(m_canvas, 20, 13), kWhitePixel);
    m_canvas.drawLine(0, 100, 10, 100);
    EXPECT_EQ(pixel(m_canvas, 5, 100), 0xFF0000u);
}

}  // namespace
}  // namespace melodeck

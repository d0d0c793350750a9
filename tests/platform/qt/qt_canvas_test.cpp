#include "qt_canvas.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace melodeck

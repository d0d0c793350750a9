#include <gtest/gtest.h>

#include "dialog_title.h"
#include "fixed_width_canvas.h"

namespace melodeck {
namespace {

using Kind = DrawOp::Kind;

class DialogTitleTest : public ::testing::Test {
protected:
    DialogTitleTest() {
        m_canvas.setPen(Pen{rgb(1, 2, 3), 3});
        m_canvas.setTextColour(rgb(9, 9, 9));
        m_canvas.setFont(FontSpec{.faceName = "Lyrics", .pointSize = 16});
    }
    void expectStateKept() {
        EXPECT_EQ(m_canvas.pen(), (Pen{rgb(1, 2, 3), 3}));
        EXPECT_EQ(m_canvas.textColour(), rgb(9, 9, 9));
        EXPECT_EQ(m_canvas.font(), (FontSpec{.faceName = "Lyrics", .pointSize = 16}));
        EXPECT_FALSE(m_canvas.transparentText());
    }

    FixedWidthCanvas m_canvas{7, 15};
};

TEST_F(DialogTitleTest, TitleAndRuleAt96Dpi) {
    paintDialogTitle(m_canvas, 240, u"Lyric options", 65000);
    const auto& ops = m_canvas.ops();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, Kind::TextInRect);
    EXPECT_EQ(ops[0].text, u"Lyric options");
    EXPECT_EQ(ops[0].rect, (Rect{10, 5, 200, 20}));
    EXPECT_EQ(ops[0].colour, rgb(0, 0, 156));
    EXPECT_TRUE(ops[0].transparent);
    // 10 points at 96 dpi: 13.33 pixels, asked for as 13.
    EXPECT_EQ(ops[0].font, (FontSpec{.faceName = "Tahoma", .bold = true, .pixelHeight = 13}));
    // The rule: the text's own height plus twice the top margin, in the canvas's pen.
    EXPECT_EQ(ops[1].kind, Kind::Line);
    EXPECT_EQ(ops[1].rect, (Rect{0, 15 + 10, 240, 15 + 10}));
    EXPECT_EQ(ops[1].pen, (Pen{rgb(1, 2, 3), 3}));
    expectStateKept();
}

TEST_F(DialogTitleTest, PlaylistAndPicturesCaptionsHaveNoRule) {
    for (int id : {kStrMyPlaylist, kStrPicturesList}) {
        m_canvas.clearOps();
        paintDialogTitle(m_canvas, 240, u"My playlist", id);
        ASSERT_EQ(m_canvas.ops().size(), 1u) << id;
        EXPECT_EQ(m_canvas.ops()[0].kind, Kind::TextInRect);
        expectStateKept();
    }
}

TEST_F(DialogTitleTest, LengthsFollowTheCanvasResolution) {
    m_canvas.setDotsPerInch({192, 144});
    paintDialogTitle(m_canvas, 480, u"Fonts", 65001);
    const auto& ops = m_canvas.ops();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].font.pixelHeight, 20);
    // Horizontal lengths at 192 dpi, vertical ones at 144: 5 x 1.5 = 7.5 rounds to 8.
    EXPECT_EQ(ops[0].rect, (Rect{20, 8, 400, 30}));
    EXPECT_EQ(ops[1].rect, (Rect{0, 15 + 16, 480, 15 + 16}));
}

TEST_F(DialogTitleTest, EmptyTitleStillGetsItsRuleBelowTheMargin) {
    paintDialogTitle(m_canvas, 100, u"", 65002);
    ASSERT_EQ(m_canvas.ops().size(), 2u);
    EXPECT_EQ(m_canvas.ops()[1].rect, (Rect{0, 10, 100, 10}));
}

}  // namespace
}  // namespace melodeck

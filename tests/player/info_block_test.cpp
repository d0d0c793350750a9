#include <gtest/gtest.h>

#include <algorithm>

#include "fixed_width_canvas.h"
#include "info_block.h"

namespace melodeck {
namespace {

using Kind = DrawOp::Kind;

class InfoBlockTest : public ::testing::Test {
protected:
    InfoBlockTest() {
        m_state.displayActive = true;
        m_state.synthStatus = 1;
        m_state.lastShownSeconds = 0;
        m_state.totalSeconds = 185;
        m_state.title = u"Oh Susanna";
        m_state.infoFont = FontSpec{.faceName = "Tahoma", .pointSize = 10, .bold = true};
        m_state.areas = ScreenAreas::beforeInitialUpdate(240, {96, 96})
                            .atInitialUpdate({0, 0, 240, 268}, 240, {96, 96});
    }
    // The texts drawn, in order.
    std::vector<std::u16string> texts() const {
        std::vector<std::u16string> out;
        for (const DrawOp& op : m_canvas.ops()) {
            if (op.kind == Kind::TextInRect || op.kind == Kind::TextAt) out.push_back(op.text);
        }
        return out;
    }
    using Texts = std::vector<std::u16string>;

    InfoDisplayState m_state;
    FixedWidthCanvas m_canvas{6, 12};
};

TEST_F(InfoBlockTest, TimeBoxShowsElapsedAboveLengthAtItsRight) {
    PaintTime(m_canvas, m_state, 65, false);
    const auto& ops = m_canvas.ops();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, Kind::Fill);
    EXPECT_EQ(ops[0].rect, m_state.areas.timeBox);
    EXPECT_EQ(ops[0].colour, kInfoBlockColour);
    EXPECT_EQ(ops[1].text, u"01:05");
    EXPECT_EQ(ops[1].horizontal, HAlign::Right);
    EXPECT_EQ(ops[1].vertical, VAlign::Top);
    EXPECT_EQ(ops[2].text, u"03:05");
    EXPECT_EQ(ops[2].vertical, VAlign::Bottom);
    for (int i : {1, 2}) {
        EXPECT_EQ(ops[i].rect, m_state.areas.timeBox);
        EXPECT_EQ(ops[i].colour, kBlack);
        EXPECT_TRUE(ops[i].transparent);
        EXPECT_EQ(ops[i].font, m_state.infoFont);
    }
    EXPECT_EQ(m_canvas.font(), FontSpec{});
    EXPECT_FALSE(m_canvas.transparentText());
}

TEST_F(InfoBlockTest, TimeBoxPaintsOnlyWhatIsNewUnlessForced) {
    PaintTime(m_canvas, m_state, 0, false);
    EXPECT_TRUE(m_canvas.ops().empty());
    PaintTime(m_canvas, m_state, 0, true);
    EXPECT_EQ(texts(), (Texts{u"00:00", u"03:05"}));

    // Nothing while the list is up or the block hidden, forced or not.
    m_canvas.clearOps();
    m_state.displayActive = false;
    PaintTime(m_canvas, m_state, 5, true);
    m_state.displayActive = true;
    m_state.infoShown = false;
    PaintTime(m_canvas, m_state, 5, true);
    EXPECT_TRUE(m_canvas.ops().empty());
}

TEST_F(InfoBlockTest, LengthBeforeItIsReportedAndIdleLibraryShowsLengthTwice) {
    m_state.totalSeconds = 0;
    PaintTime(m_canvas, m_state, 6000, false);
    EXPECT_EQ(texts(), (Texts{u"100:00", u"00:00"}));

    m_canvas.clearOps();
    m_state.totalSeconds = 600;
    m_state.synthStatus = 0;
    PaintTime(m_canvas, m_state, 42, false);
    EXPECT_EQ(texts(), (Texts{u"10:00", u"10:00"}));
}

TEST_F(InfoBlockTest, StatusAreaFramesTheBlockAndWritesTitleStatusAndTimes) {
    m_state.toneSteps = -2;
    m_state.tempoSteps = 3;
    m_state.volumeSteps = -11;
    m_state.lastShownSeconds = 7;
    PaintStatusArea(m_canvas, m_state);
    const auto& ops = m_canvas.ops();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0].kind, Kind::Rectangle);
    EXPECT_EQ(ops[0].rect, m_state.areas.infoBlock);
    EXPECT_EQ(ops[0].colour, kInfoBlockColour);
    EXPECT_EQ(ops[0].pen, (Pen{kBlack, 2}));
    EXPECT_EQ(texts(),
              (Texts{u"Oh Susanna", u"tone: -2   temp: 3   vol: -11", u"00:07", u"03:05"}));
    // Title and status line share a text area that stops short of the time box.
    const Rect& block = m_state.areas.infoBlock;
    EXPECT_EQ(ops[1].rect, (Rect{block.left + 8, block.top + 2, block.right - 44, block.bottom}));
    EXPECT_EQ(ops[1].vertical, VAlign::Top);
    EXPECT_EQ(ops[2].rect.bottom, block.bottom - 3);
    EXPECT_EQ(ops[2].vertical, VAlign::Bottom);
    EXPECT_EQ(m_canvas.pen(), Pen{});
}

// A font wider than the layout's time box was made for, such as Tahoma replaced by a wider
// bold face: the box grows to the left to hold both times, fill and all, and the title and
// status line stop where it begins.
TEST_F(InfoBlockTest, WideFontWidensTheTimeBoxLeftwardAndCutsTheTitleThere) {
    const Rect layoutBox = m_state.areas.timeBox;
    const Rect& block = m_state.areas.infoBlock;
    const auto paintedWith = [&](std::int32_t charWidth, std::int32_t seconds) {
        FixedWidthCanvas canvas(charWidth, 12);
        m_state.lastShownSeconds = seconds;
        PaintStatusArea(canvas, m_state);
        return canvas.ops();
    };
    // Returns the time box's fill.
    const auto checkTimesInsideFill = [&](const std::vector<DrawOp>& ops) -> Rect {
        if (ops.size() != 6u || ops[3].kind != Kind::Fill) {
            ADD_FAILURE() << "not the block, two texts, the fill and two times";
            return Rect{};
        }
        const DrawOp& fill = ops[3];
        EXPECT_EQ(fill.rect.top, layoutBox.top);
        EXPECT_EQ(fill.rect.right, layoutBox.right);
        EXPECT_EQ(fill.rect.bottom, layoutBox.bottom);
        for (int i : {4, 5}) {
            EXPECT_EQ(ops[i].rect, fill.rect);
            EXPECT_GE(ops[i].cell.left, fill.rect.left) << "time cut off: " << i;
            EXPECT_LE(ops[i].cell.right, fill.rect.right);
        }
        for (int i : {1, 2}) EXPECT_LE(ops[i].rect.right, fill.rect.left);
        return fill.rect;
    };

    // "03:05" at 9 pixels a character is 45 wide, more than the box's 33.
    const Rect wide = checkTimesInsideFill(paintedWith(9, 7));
    EXPECT_EQ(wide.left, layoutBox.right - 45);
    // The wider of the two texts counts, here the elapsed one.
    EXPECT_EQ(checkTimesInsideFill(paintedWith(9, 6000)).left, layoutBox.right - 54);
    // The box never reaches past the text area's left edge; the title then has no room.
    const auto huge = paintedWith(60, 7);
    ASSERT_EQ(huge.size(), 6u);
    EXPECT_EQ(huge[3].rect.left, block.left + 8);
    EXPECT_LE(huge[1].rect.right, huge[1].rect.left);

    // Repainting only the time box covers the same widened box.
    FixedWidthCanvas canvas(9, 12);
    m_state.lastShownSeconds = 7;
    PaintTime(canvas, m_state, 8, false);
    ASSERT_FALSE(canvas.ops().empty());
    EXPECT_EQ(canvas.ops()[0].rect, wide);
}

TEST_F(InfoBlockTest, FontThatFitsKeepsTheLayoutsTimeBoxAndTextArea) {
    // 5 characters of 6 pixels fit the 33-pixel box.
    PaintStatusArea(m_canvas, m_state);
    const auto& ops = m_canvas.ops();
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[1].rect.right, m_state.areas.infoBlock.right - 44);
    EXPECT_EQ(ops[3].rect, m_state.areas.timeBox);
}

TEST_F(InfoBlockTest, HiddenBlockDrawsNothingAndTimeIsOnlyRemembered) {
    m_state.infoShown = false;
    PaintStatusArea(m_canvas, m_state);
    EXPECT_FALSE(ShowTime(m_state, 12, &m_canvas));
    EXPECT_TRUE(m_canvas.ops().empty());
    EXPECT_EQ(m_state.lastShownSeconds, 12);
}

TEST_F(InfoBlockTest, ShowTimeRepaintsOnlyNewSecondsAndAlwaysRemembers) {
    EXPECT_TRUE(ShowTime(m_state, 1, &m_canvas));
    EXPECT_FALSE(ShowTime(m_state, 1, &m_canvas));
    EXPECT_EQ(texts(), (Texts{u"00:01", u"03:05"}));
    EXPECT_FALSE(ShowTime(m_state, 2, nullptr));
    EXPECT_EQ(m_state.lastShownSeconds, 2);
}

TEST_F(InfoBlockTest, StatusAreaBeforeAnyTimeShowsTheStart) {
    m_state.lastShownSeconds = -1;
    PaintStatusArea(m_canvas, m_state);
    const Texts drawn = texts();
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), u"00:00"), 1);
}

}  // namespace
}  // namespace melodeck

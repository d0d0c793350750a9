#include <gtest/gtest.h>

#include <ostream>

#include "screen_areas.h"
#include "time_text.h"

namespace melodeck {

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr Dpi k96{96, 96};
constexpr Dpi k192{192, 192};

TEST(ScreenAreas, BeforeInitialUpdateScaleTheirConstantsButNotTheScreenWidth) {
    const ScreenAreas at96 = ScreenAreas::beforeInitialUpdate(240, k96);
    EXPECT_EQ(at96.infoBlock, (Rect{0, 180, 240, 206}));
    EXPECT_EQ(at96.timeBox, (Rect{180, 186, 240, 206}));
    EXPECT_EQ(at96.lyricArea, (Rect{5, 0, 235, 240}));
    EXPECT_EQ(at96.titleStrip, (Rect{5, 22, 240, 36}));

    const ScreenAreas at192 = ScreenAreas::beforeInitialUpdate(480, k192);
    EXPECT_EQ(at192.infoBlock, (Rect{0, 360, 480, 412}));
    EXPECT_EQ(at192.lyricArea, (Rect{10, 0, 470, 480}));
    // 131 dpi: 5 x 131 / 96 = 6.8 rounds to 7, 22 x 131 / 96 = 30.02 to 30.
    EXPECT_EQ(ScreenAreas::beforeInitialUpdate(320, {131, 131}).titleStrip, (Rect{7, 30, 320, 49}));
}

TEST(ScreenAreas, InitialUpdatePutsTheInfoBlockAboveTheToolbar) {
    const ScreenAreas areas =
        ScreenAreas::beforeInitialUpdate(240, k96).atInitialUpdate({0, 0, 240, 268}, 240, k96);
    EXPECT_EQ(areas.infoBlock, (Rect{0, 213, 240, 243}));
    EXPECT_EQ(areas.timeBox, (Rect{200, 215, 233, 240}));
    EXPECT_EQ(areas.lyricArea, (Rect{0, 0, 240, 212}));
    EXPECT_EQ(areas.titleStrip, (Rect{5, 22, 240, 36}));

    // High resolution: a larger gap for the larger toolbar, every length doubled. The
    // client's top counts only through its height.
    const ScreenAreas high =
        ScreenAreas::beforeInitialUpdate(480, k192).atInitialUpdate({0, 26, 480, 562}, 480, k192);
    EXPECT_EQ(high.infoBlock, (Rect{0, 536 - 76 - 60, 480, 536 - 76}));
    EXPECT_EQ(high.timeBox, (Rect{400, 404, 466, 454}));
    EXPECT_EQ(high.lyricArea, (Rect{0, 0, 480, 398}));
}

TEST(ScreenAreas, HidingTheInfoBlockGivesItsRoomToTheLyricsOnce) {
    ScreenAreas areas =
        ScreenAreas::beforeInitialUpdate(240, k96).atInitialUpdate({0, 0, 240, 268}, 240, k96);
    areas.setInfoBlockShown(false);
    EXPECT_EQ(areas.lyricArea.bottom, 212 + 31);
    areas.setInfoBlockShown(false);
    EXPECT_EQ(areas.lyricArea.bottom, 243);
    areas.setInfoBlockShown(true);
    areas.setInfoBlockShown(true);
    EXPECT_EQ(areas.lyricArea.bottom, 212);

    // Hidden before the initial update: the new lyric area already takes the block's room.
    ScreenAreas early = ScreenAreas::beforeInitialUpdate(240, k96);
    early.setInfoBlockShown(false);
    const ScreenAreas later = early.atInitialUpdate({0, 0, 240, 268}, 240, k96);
    EXPECT_FALSE(later.infoBlockShown);
    EXPECT_EQ(later.lyricArea.bottom, 243);
}

TEST(TimeText, MinutesAndSecondsInTwoDigitsAtLeast) {
    EXPECT_EQ(timeText(0), u"00:00");
    EXPECT_EQ(timeText(65), u"01:05");
    EXPECT_EQ(timeText(600), u"10:00");
    EXPECT_EQ(timeText(659), u"10:59");
    EXPECT_EQ(timeText(6000), u"100:00");
    // Counts are unsigned: -1 is 4294967295 seconds.
    EXPECT_EQ(timeText(-1), u"71582788:15");
}

}  // namespace
}  // namespace melodeck

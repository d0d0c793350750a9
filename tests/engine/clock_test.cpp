// The tempo map and the song clock: samples per tick, event times, the lyric delay and the
// cursor that position reports move.

#include <limits>

#include "engine_fixture.h"

namespace melodeck::test {
namespace {

using ClockTest = EngineTest;

constexpr std::int32_t kRate = 22050;

TEST_F(ClockTest, SamplesPerTickIsSixteenDotSixteen) {
    ASSERT_NE(open(karaokeFile({{0, "a"}})), nullptr);
    engine.setTempo(500000);
    EXPECT_EQ(engine.samplesPerTickInt(), 22);
    EXPECT_EQ(engine.samplesPerTickFrac(), 63488);
}

TEST_F(ClockTest, DivisionZeroIsTakenAsOne) {
    ASSERT_NE(open(karaokeFile({{0, "a"}}, 0, 0)), nullptr);
    EXPECT_EQ(engine.division(), 0);
    engine.setTempo(500000);
    EXPECT_EQ(engine.samplesPerTickInt(), 11025);
    EXPECT_EQ(engine.samplesPerTickFrac(), 0);
}

TEST_F(ClockTest, SamplesPerTickIsClampedToThirtyTwoBits) {
    ASSERT_NE(open(karaokeFile({{0, "a"}}, 0, 1)), nullptr);
    engine.setSampleRate(192000);
    engine.setTempo(0xFFFFFF);
    EXPECT_EQ(engine.samplesPerTickInt(), 32767);
    EXPECT_EQ(engine.samplesPerTickFrac(), 65535);
    engine.setSampleRate(0);
    engine.setTempo(500000);
    EXPECT_EQ(engine.samplesPerTickInt(), 0);
    EXPECT_EQ(engine.samplesPerTickFrac(), 0);
}

TEST_F(ClockTest, DefaultTempoGivesHalfASecondPerQuarterNote) {
    openAndLayOut(karaokeFile({{480, "a "}, {960, "b"}}));
    EXPECT_EQ(findText("a ")->sampleTime, 11025);
    EXPECT_EQ(findText("b")->sampleTime, 22050);
}

TEST_F(ClockTest, TempoChangeCarriesTheFractionExactly) {
    SmfBuilder smf;
    smf.header(1, 3, 480).track().tempo(500000).delta(480).tempo(250000).endOfTrack();
    smf.track().endOfTrack().track().delta(480).text("a ").delta(480).text("b").endOfTrack();
    openAndLayOut(smf);
    EXPECT_EQ(findText("a ")->sampleTime, 11025);
    EXPECT_EQ(findText("b")->sampleTime, 11025 + 5512);
}

TEST_F(ClockTest, TimingRemovesEveryTempoEvent) {
    SmfBuilder smf;
    smf.header(1, 3, 480).track().tempo(400000).delta(100).tempo(300000).endOfTrack();
    smf.track().endOfTrack().track().delta(50).text("a ").delta(100).text("b").endOfTrack();
    ASSERT_NE(open(smf), nullptr);
    EXPECT_EQ(engine.eventCount(), 5);
    engine.layoutSong(canvas, Rect{0, 0, 240, 200});
    EXPECT_EQ(engine.eventCount(), 3);
    EXPECT_EQ(engine.events().size(), 3u);
    for (const SongEvent& e : engine.events()) {
        EXPECT_EQ(e.tempo, 0u);
    }
}

TEST_F(ClockTest, TicksGoingBackwardsCarryTheFractionOnlyOnceItIsWhole) {
    // Track 2's first tempo replaces track 0's entry at 1920 by one at tick 0, so the merged
    // list runs 0, a(50), 0, 100, 960, b(2000): the clock steps back 50 ticks once.
    SmfBuilder smf;
    smf.header(1, 3, 480).track().tempo(500000).delta(960).tempo(500000).delta(960);
    smf.tempo(300000).endOfTrack().track().endOfTrack().track();
    smf.delta(50).text("a ").tempo(500000).delta(50).tempo(250000).delta(1900).text("b");
    smf.endOfTrack();
    openAndLayOut(smf);
    EXPECT_EQ(findText("a ")->sampleTime, 1148);
    EXPECT_EQ(findText("b")->sampleTime, 36060);
}

TEST_F(ClockTest, SampleArithmeticWrapsAtThirtyTwoBits) {
    // 0x7FFFFFFF ticks of 22.97 samples: far past 2^31 samples, without overflow traps.
    SmfBuilder smf;
    smf.header(1, 3, 480).track().endOfTrack().track().endOfTrack().track();
    smf.text("a ").delta(0x7FFFFFFF).text("b").endOfTrack();
    openAndLayOut(smf);
    const std::uint64_t exact = (0x7FFFFFFFull * 1505280) >> 16;
    EXPECT_EQ(findText("b")->sampleTime,
              static_cast<std::int32_t>(static_cast<std::uint32_t>(exact)));
}

TEST_F(ClockTest, DelayBaseIsTheAverageSamplesPerTickToTheFirstSyllable) {
    openAndLayOut(karaokeFile({{1920, "a"}}));
    EXPECT_EQ(engine.firstLyricTime(), 44100);
    EXPECT_EQ(engine.delayBase(), 22);
    engine.setLyricDelay(110);
    EXPECT_EQ(engine.lyricDelay(), 2420);
    engine.setLyricDelay(0);
    EXPECT_EQ(engine.lyricDelay(), 0);
}

TEST_F(ClockTest, FirstSyllableAtTickZeroTakesTheSamplesPerTickInForce) {
    SmfBuilder smf;
    smf.header(1, 3, 480).track().tempo(250000).endOfTrack().track().endOfTrack();
    smf.track().text("a").delta(480).text("b").endOfTrack();
    openAndLayOut(smf);
    EXPECT_EQ(engine.firstLyricTime(), 0);
    // The tempo at tick 0 follows the syllable there, so the default pace is in force.
    EXPECT_EQ(engine.delayBase(), 22);
}

// ---- Cursor ------------------------------------------------------------------------------

class CursorTest : public EngineTest {
protected:
    // Syllables a, b, c on one line half a second apart, d on the next line 1.5 s later.
    void SetUp() override {
        openAndLayOut(karaokeFile({{480, "a "}, {960, "b "}, {1440, "c/"}, {2400, "d"}}));
        engine.setLyricDelay(0);
        engine.resetCursor();
    }
    std::vector<std::string> painted() const {
        std::vector<std::string> out;
        for (const auto& p : engine.paints) {
            out.push_back(p.text);
        }
        return out;
    }
};

TEST_F(CursorTest, NothingIsPaintedBeforeTheClockStarts) {
    engine.advanceTo(1000000);
    EXPECT_TRUE(engine.paints.empty());
    EXPECT_FALSE(engine.clockStarted());
}

TEST_F(CursorTest, StartClockAlignsTheFirstSyllableWithTheReport) {
    engine.setLyricDelay(10);  // delay base 22: 220 samples
    engine.startClock(5000);
    EXPECT_EQ(engine.clockOffset(), 220 + 5000 - 11025);
    // At the report the lyric clock stands at the first syllable less the delay.
    engine.advanceTo(5000 + 219);
    EXPECT_TRUE(engine.paints.empty());
    engine.advanceTo(5000 + 220);
    EXPECT_EQ(painted(), (std::vector<std::string>{"a "}));
}

TEST_F(CursorTest, WithNoDelayTheFirstSyllableLightsAtTheSyncPosition) {
    engine.startClock(777);
    engine.advanceTo(777);
    EXPECT_EQ(painted(), (std::vector<std::string>{"a "}));
    EXPECT_EQ(engine.cursor()->text, std::optional<std::string>("b "));
}

TEST_F(CursorTest, AReportThatJumpsPaintsOnlyTheLastDueEvent) {
    engine.startClock(11025);
    engine.advanceTo(33075 + 1);  // a, b and c are all due
    EXPECT_EQ(painted(), (std::vector<std::string>{"c/"}));
    EXPECT_EQ(engine.cursor()->text, std::optional<std::string>("d"));
}

TEST_F(CursorTest, NothingMovesWhileTheCursorIsNotYetDue) {
    engine.startClock(11025);
    engine.advanceTo(11025);
    engine.advanceTo(11025 + 100);
    EXPECT_EQ(painted(), (std::vector<std::string>{"a "}));
}

TEST_F(CursorTest, PaintingStopsAfterTheLastEvent) {
    engine.startClock(11025);
    engine.advanceTo(std::numeric_limits<std::int32_t>::max() / 2);
    EXPECT_EQ(painted(), (std::vector<std::string>{"d"}));
    EXPECT_EQ(engine.cursor(), nullptr);
    engine.advanceTo(std::numeric_limits<std::int32_t>::max() / 2);
    EXPECT_EQ(engine.paints.size(), 1u);
}

TEST_F(CursorTest, ResetCursorStopsTheClockAndRewinds) {
    engine.startClock(11025);
    engine.advanceTo(100000);
    engine.resetCursor();
    EXPECT_FALSE(engine.clockStarted());
    EXPECT_EQ(engine.clockOffset(), 0);
    EXPECT_EQ(engine.cursor()->text, std::optional<std::string>("a "));
}

class PauseCursorTest : public EngineTest {
protected:
    // "a" then "b" 20 seconds later: a long pause with its twelve markers between them.
    void SetUp() override {
        openAndLayOut(karaokeFile({{0, "a/"}, {19200, "b"}}));
        engine.resetCursor();
        engine.startClock(0);
    }
    std::vector<int> paintedMarkers() const {
        std::vector<int> out;
        for (const auto& p : engine.paints) {
            out.push_back(p.marker);
        }
        return out;
    }
};

TEST_F(PauseCursorTest, AReportReachingAMarkerStopsThere) {
    engine.hasPictures = true;
    engine.advanceTo(1000000);  // passes over "a", stops at the pause
    EXPECT_EQ(paintedMarkers(), (std::vector<int>{1}));
    EXPECT_EQ(engine.pictureChanges, 1);
    ASSERT_NE(engine.cursor(), nullptr);
    EXPECT_EQ(engine.cursor()->marker, 10);
}

TEST_F(PauseCursorTest, WithPicturesEveryWipeMarkerIsPaintedInTurn) {
    engine.hasPictures = true;
    for (int i = 0; i < 20; ++i) {
        engine.advanceTo(1000000);
    }
    // The marker 0 event is passed over on the way to "b".
    EXPECT_EQ(paintedMarkers(), (std::vector<int>{1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 2}));
    EXPECT_EQ(engine.clears, 0);
}

TEST_F(PauseCursorTest, WithoutPicturesTheAreaIsClearedAndTheNextPageShowsAtOnce) {
    engine.advanceTo(1000000);
    EXPECT_EQ(engine.clears, 1);
    ASSERT_EQ(engine.paints.size(), 1u);
    EXPECT_EQ(engine.paints[0].marker, 0);
    EXPECT_TRUE(engine.paints[0].text.empty());  // the marker 0 event, not a syllable
    EXPECT_EQ(engine.paints[0].sampleTime, 441000 - 3 * kRate);
    engine.advanceTo(1000000);
    EXPECT_EQ(paintedMarkers(), (std::vector<int>{0, 2}));
}

TEST_F(PauseCursorTest, WipeMarkersComeDueAQuarterSecondApart) {
    engine.hasPictures = true;
    engine.advanceTo(0);          // a
    engine.advanceTo(3 * kRate);  // marker 1
    engine.advanceTo(3 * kRate);  // marker 10 at the same time
    engine.advanceTo(3 * kRate);  // marker 11 is not due yet
    EXPECT_EQ(paintedMarkers(), (std::vector<int>{0, 1, 10}));
    engine.advanceTo(3 * kRate + kRate / 4);
    EXPECT_EQ(paintedMarkers(), (std::vector<int>{0, 1, 10, 11}));
}

}  // namespace
}  // namespace melodeck::test

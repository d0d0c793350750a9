// The song text model: the "\" and "/" conventions, the line records and the pause markers
// planted at long pauses.

#include "engine_fixture.h"

namespace melodeck::test {
namespace {

using TextModelTest = EngineTest;

constexpr std::int32_t kRate = 22050;
// Ticks at 480 per quarter note and the default tempo: 22.96875 samples each.
constexpr std::uint32_t kTicksPerTenSeconds = 9600;

TEST_F(TextModelTest, BackslashAndSlashBreakLinesWithoutEmptyOnes) {
    openAndLayOut(
        karaokeFile({{0, "\\Hap"}, {10, "py "}, {20, "birth"}, {30, "day/"}, {40, "to "}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"Happy birthday", u"to "}));
    EXPECT_EQ(engine.lineCount(), 2);
    EXPECT_EQ(findText("\\Hap")->length, 3);
    EXPECT_EQ(findText("day/")->length, 3);
    EXPECT_EQ(findText("day/")->lineOffset, 11);
    EXPECT_EQ(indexOfLine(findText("to ")->line), 1u);
    EXPECT_EQ(findText("to ")->lineOffset, 0);
}

TEST_F(TextModelTest, BackslashOnAnEmptyLineKeepsTheGivenOffset) {
    openAndLayOut(karaokeFile({{0, "a/"}, {10, "\\b"}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(findText("\\b")->lineOffset, 0);
}

TEST_F(TextModelTest, RunOfLeadingSlashesStartsOneNewLine) {
    openAndLayOut(karaokeFile({{0, "one "}, {10, "//word"}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"one ", u"word"}));
    EXPECT_EQ(findText("//word")->length, 4);
}

TEST_F(TextModelTest, OnlyOneBackslashIsRemoved) {
    openAndLayOut(karaokeFile({{0, "one "}, {10, "\\\\two"}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"one ", u"\\two"}));
}

TEST_F(TextModelTest, LoneSlashClosesTheLineAndAddsNothing) {
    openAndLayOut(karaokeFile({{0, "one "}, {10, "/"}, {20, "two"}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"one ", u"two"}));
    EXPECT_EQ(findText("/")->length, 0);
    EXPECT_EQ(indexOfLine(findText("/")->line), 1u);
}

TEST_F(TextModelTest, TrailingSlashRemovesOnlyOneSlash) {
    openAndLayOut(karaokeFile({{0, "a//"}, {10, "b"}}), 1000);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"a/", u"b"}));
}

TEST_F(TextModelTest, LineRecordsCountTheirCharacters) {
    openAndLayOut(karaokeFile({{0, "Hel"}, {10, "lo/"}, {20, "x"}}), 1000);
    const LyricLine& first = engine.lines().front();
    EXPECT_EQ(first.text, u"Hello");
    EXPECT_EQ(first.length, 5);
    EXPECT_EQ(first.pageStart, 1);
    EXPECT_EQ(engine.lines().back().pageStart, 0);
}

TEST_F(TextModelTest, NewLineClosesTheTailAndStartsAnEmptyOne) {
    openAndLayOut(karaokeFile({{0, "abc"}}), 1000);
    engine.newLine();
    ASSERT_EQ(engine.lineCount(), 2);
    EXPECT_EQ(engine.lines().back().text, u"");
    EXPECT_EQ(engine.lines().back().length, 0);
    EXPECT_EQ(engine.lines().back().width, 0);
    EXPECT_EQ(engine.lines().back().pageStart, 0);
}

std::vector<int> markers(const CLyrText& engine) {
    std::vector<int> out;
    for (const SongEvent& e : engine.events()) {
        out.push_back(e.marker);
    }
    return out;
}

TEST_F(TextModelTest, PauseJustUnderTenSecondsPlantsNoMarkers) {
    openAndLayOut(karaokeFile({{0, "a/"}, {9504, "b"}}));  // 9.9 s
    EXPECT_EQ(markers(engine), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(engine.lines().back().pageStart, 0);
}

TEST_F(TextModelTest, PauseOfTenSecondsPlantsTwelveMarkers) {
    openAndLayOut(karaokeFile({{0, "a/"}, {kTicksPerTenSeconds, "b"}}));
    EXPECT_EQ(markers(engine),
              (std::vector<int>{0, 0, 1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 2}));
    EXPECT_EQ(engine.eventCount(), 15);

    const LyricLine* firstLine = &engine.lines().front();
    const LyricLine* secondLine = &engine.lines().back();
    EXPECT_EQ(event(2).sampleTime, 3 * kRate);
    EXPECT_EQ(event(2).line, firstLine);
    for (int i = 0; i < 10; ++i) {
        const SongEvent& wipe = event(3 + static_cast<std::size_t>(i));
        EXPECT_EQ(wipe.sampleTime, 3 * kRate + i * (kRate / 4));
        EXPECT_EQ(wipe.line, firstLine);
        EXPECT_FALSE(wipe.text.has_value());
        EXPECT_EQ(wipe.tick, 0);
        EXPECT_EQ(wipe.length, 0);
        EXPECT_EQ(wipe.lineOffset, 0);
    }
    EXPECT_EQ(event(13).sampleTime, 10 * kRate - 3 * kRate);
    EXPECT_EQ(event(13).line, secondLine);
    EXPECT_EQ(event(14).sampleTime, 10 * kRate);
    EXPECT_EQ(secondLine->pageStart, 1);
}

TEST_F(TextModelTest, PauseIsMeasuredFromTheLastSyllableNotATempoEvent) {
    SmfBuilder smf;
    smf.header(1, 3, 480).track().tempo(500000).delta(9000).tempo(500000).endOfTrack();
    smf.track().endOfTrack().track().text("a/").delta(kTicksPerTenSeconds).text("b");
    smf.endOfTrack();
    openAndLayOut(smf);
    EXPECT_EQ(engine.eventCount(), 15);
    EXPECT_EQ(event(2).marker, 1);
}

TEST_F(TextModelTest, PauseGapIsAnUnsignedDivision) {
    // b's sample time wraps below zero; taken unsigned, the gap is a long pause.
    openAndLayOut(karaokeFile({{0, "a/"}, {0x60000000, "b"}}));
    const SongEvent& b = engine.events().back();
    EXPECT_LT(b.sampleTime, 0);
    EXPECT_EQ(b.marker, 2);
    EXPECT_EQ(engine.eventCount(), 15);
}

TEST_F(TextModelTest, FirstSyllableNeverGetsMarkersAndOpensAPage) {
    openAndLayOut(karaokeFile({{3 * kTicksPerTenSeconds, "late"}}));
    EXPECT_EQ(markers(engine), (std::vector<int>{0, 0}));
    EXPECT_EQ(engine.lines().front().pageStart, 1);
}

TEST_F(TextModelTest, PageStartGoesToTheLineTheSyllableJoined) {
    // "b/" comes after a long pause and closes its line: the page opens at b's line, not at
    // the empty one its slash opened.
    openAndLayOut(
        karaokeFile({{0, "a/"}, {kTicksPerTenSeconds, "b/"}, {kTicksPerTenSeconds + 10, "c"}}));
    ASSERT_EQ(engine.lineCount(), 3);
    auto line = engine.lines().begin();
    EXPECT_EQ((line++)->pageStart, 1);
    EXPECT_EQ((line++)->pageStart, 1);
    EXPECT_EQ((line++)->pageStart, 0);
    EXPECT_EQ(indexOfLine(findText("b/")->line), 1u);
}

TEST_F(TextModelTest, FirstLineOpensAPageEvenWhenTheFirstSyllableEndsIt) {
    openAndLayOut(karaokeFile({{0, "a/"}, {10, "b"}}));
    EXPECT_EQ(engine.lines().front().pageStart, 1);
    EXPECT_EQ(engine.lines().back().pageStart, 0);
}

TEST_F(TextModelTest, SecondLongPauseGetsItsOwnMarkers) {
    openAndLayOut(
        karaokeFile({{0, "a/"}, {kTicksPerTenSeconds, "b/"}, {2 * kTicksPerTenSeconds, "c"}}));
    EXPECT_EQ(engine.eventCount(), 1 + 3 + 24);
    EXPECT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
}

TEST_F(TextModelTest, EmptySyllableStillTakesPartInThePauseRule) {
    openAndLayOut(karaokeFile({{0, "a/"}, {kTicksPerTenSeconds, ""}}));
    EXPECT_EQ(engine.events().back().marker, 2);
    EXPECT_EQ(engine.events().back().length, 0);
}

}  // namespace
}  // namespace melodeck::test

// Line layout: word-keeping fit tests, the splitting of over-wide syllables, the widths that
// centre lines, wrapText, the lines-shown rule and the fixed-width canvas.

#include <chrono>
#include <random>

#include "engine_fixture.h"
#include "lyr_text_draw.h"
#include "text_wrap.h"

namespace melodeck::test {
namespace {

using LayoutTest = EngineTest;

// 10 px characters: a width of 10 * n holds n characters.

TEST_F(LayoutTest, WordMovesToTheNextLineWholeWhenItsRestDoesNotFit) {
    openAndLayOut(
        karaokeFile({{0, "aaaaaaaaaaaaaaaaaaaa "}, {10, "Won"}, {20, "der"}, {30, "ful "}}));
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"aaaaaaaaaaaaaaaaaaaa ", u"Wonderful "}));
    EXPECT_EQ(indexOfLine(findText("Won")->line), 1u);
    EXPECT_EQ(findText("der")->lineOffset, 3);
}

TEST_F(LayoutTest, LookAheadStopsAtAWordEndOrALineMark) {
    // "ab" + "cd" fit; the look-ahead stops at "\ef" so "ab" is not pushed to a new line.
    openAndLayOut(
        karaokeFile({{0, "xxxxxxxxxxxxxxxxxxx "}, {10, "ab"}, {20, "cd"}, {30, "\\efghijklmno"}}));
    EXPECT_EQ(indexOfLine(findText("ab")->line), 0u);
    EXPECT_EQ(indexOfLine(findText("cd")->line), 0u);
}

TEST_F(LayoutTest, LookAheadStopsAfterATextThatBeginsWithASpace) {
    // "ab" + " cd" fit the 24 characters; "efghijkl" after them is a new word.
    openAndLayOut(
        karaokeFile({{0, "xxxxxxxxxxxxxxxxxx "}, {10, "ab"}, {20, " cd"}, {30, "efghijkl"}}));
    EXPECT_EQ(indexOfLine(findText("ab")->line), 0u);
}

TEST_F(LayoutTest, LookAheadPassesOverTempoEventsAndEmptyTexts) {
    SmfBuilder smf;
    smf.header(1, 3).track().delta(15).tempo(400000).endOfTrack().track().endOfTrack().track();
    smf.text("xxxxxxxxxxxxxxxxxxxx ").delta(10).text("ab").delta(10).text("");
    smf.delta(10).text("cd").delta(10).text("ef ").endOfTrack();
    openAndLayOut(smf);
    // "ab" + "cd" + "ef " makes 7 more characters: 28 > 24, so the word moves whole.
    EXPECT_EQ(indexOfLine(findText("ab")->line), 1u);
}

TEST_F(LayoutTest, LookAheadDoesNotStopAtATrailingSlash) {
    // "ab", "cd/", "efgh " is looked at as one word of 10 characters: on a 7-character line
    // it does not fit, so "ab" starts a new line, leaving the first one blank; "cd/" then
    // looks ahead to "cd/efgh " and moves on too.
    openAndLayOut(karaokeFile({{0, "ab"}, {10, "cd/"}, {20, "efgh "}}), 70);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"", u"ab", u"cd", u"efgh "}));
}

TEST_F(LayoutTest, WordWiderThanTheAreaIsSplitIntoNewSyllables) {
    openAndLayOut(karaokeFile({{0, "one "}, {480, "abcdefghijklmnopqrstuvwxy"}}), 100);
    EXPECT_EQ(lineTexts(),
              (std::vector<std::u16string>{u"one ", u"abcdefghij", u"klmnopqrst", u"uvwxy"}));
    EXPECT_EQ(texts(), (std::vector<std::string>{"one ", "abcdefghijklmnopqrstuvwxy",
                                                 "klmnopqrstuvwxy", "uvwxy"}));
    EXPECT_EQ(engine.eventCount(), 5);
    const SongEvent* original = findText("abcdefghijklmnopqrstuvwxy");
    const SongEvent* rest = findText("klmnopqrstuvwxy");
    EXPECT_EQ(original->length, 10);
    EXPECT_EQ(original->lineOffset, 0);
    EXPECT_EQ(rest->tick, original->tick);
    EXPECT_EQ(rest->sampleTime, original->sampleTime);
    EXPECT_EQ(rest->length, 10);
    EXPECT_EQ(indexOfLine(rest->line), 2u);
}

TEST_F(LayoutTest, SplitRestKeepsItsOriginalBytes) {
    openAndLayOut(karaokeFile({{0, "\xE9\xE9\xE9\xE9\xE9"}}), 30);
    EXPECT_NE(findText("\xE9\xE9"), nullptr);
}

TEST_F(LayoutTest, WordThatFitsNoLineLeavesABlankLine) {
    openAndLayOut(karaokeFile({{0, "abcdefghijkl"}}), 100);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"", u"abcdefghij", u"kl"}));
}

TEST_F(LayoutTest, ClosedLineIsAsWideAsItsOwnText) {
    // The fit test measured "Hello " with the next word, and the marks "/" with the line;
    // neither may centre the line.
    openAndLayOut(karaokeFile({{0, "Hello "}, {10, "wonderful "}, {20, "world "}, {30, "bye/"}}),
                  160);
    ASSERT_EQ(lineTexts(), (std::vector<std::u16string>{u"Hello wonderful ", u"world bye", u""}));
    auto line = engine.lines().begin();
    EXPECT_EQ((line++)->width, 160);
    EXPECT_EQ((line++)->width, 90);
    EXPECT_EQ((line++)->width, 0);
}

TEST_F(LayoutTest, LastLineIsClosedWithItsOwnWidth) {
    openAndLayOut(karaokeFile({{0, "ab"}, {10, "cd"}, {20, "ef"}}));
    ASSERT_EQ(engine.lineCount(), 1);
    EXPECT_EQ(engine.lines().front().width, 60);
    EXPECT_EQ(engine.lines().front().text, u"abcdef");
}

TEST_F(LayoutTest, LineHeightIsThatOfTheFirstMeasuredText) {
    // The last fit test measures an empty line; the height stays that of the first.
    openAndLayOut(karaokeFile({{0, "a/"}, {10, ""}}));
    EXPECT_EQ(engine.lineHeight(), 20);
}

TEST_F(LayoutTest, LineHeightStaysZeroWhileEveryTextIsEmpty) {
    openAndLayOut(karaokeFile({{0, ""}, {10, ""}}));
    EXPECT_EQ(engine.lineHeight(), 0);
    engine.setLinesShown(4, 0, 0);
    EXPECT_EQ(engine.linesShown(), 0);
    engine.setLinesShown(4, 1, 0);
    EXPECT_EQ(engine.linesShown(), 0);
}

TEST_F(LayoutTest, LayoutNeedsAnEventBesidesTheHead) {
    ASSERT_NE(open(karaokeFile({})), nullptr);
    ASSERT_EQ(engine.eventCount(), 1);
    engine.layoutSong(canvas, Rect{0, 0, 240, 200});
    EXPECT_EQ(engine.lineCount(), 0);
    EXPECT_TRUE(engine.lines().empty());
}

TEST_F(LayoutTest, LayingOutAgainFreesTheOldLines) {
    openAndLayOut(karaokeFile({{0, "a/"}, {9600, "b"}}));
    engine.layoutSong(canvas, Rect{0, 0, 240, 200});
    for (const SongEvent& e : engine.events()) {
        if (e.line != nullptr) {
            EXPECT_NE(indexOfLine(e.line), static_cast<std::size_t>(-1));
        }
    }
    EXPECT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
}

TEST_F(LayoutTest, AreaNarrowerThanOneCharacterStillLaysOut) {
    openAndLayOut(karaokeFile({{0, "abc"}}), 5);
    EXPECT_EQ(lineTexts(), (std::vector<std::u16string>{u"", u"a", u"b", u"c"}));
    openAndLayOut(karaokeFile({{0, "abc"}}), -50);
    EXPECT_EQ(engine.lineCount(), 4);
}

TEST_F(LayoutTest, TwentyThousandSyllablesLayOutQuickly) {
    std::vector<Syllable> song;
    const char* words[] = {"\\Twin", "kle ", "twin", "kle ", "lit", "tle ", "star/"};
    for (std::uint32_t i = 0; i < 20000; ++i) {
        song.push_back({i * 120, words[i % 7]});
    }
    const auto start = std::chrono::steady_clock::now();
    openAndLayOut(karaokeFile(song));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
    EXPECT_GT(engine.lineCount(), 2800);
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

// A font that runs out of memory once it has measured enough.
class StarvingCanvas : public FixedWidthCanvas {
public:
    StarvingCanvas() : FixedWidthCanvas(10, 20) {}
    std::int32_t textExtent(std::u16string_view text) const override {
        if (++m_calls > 3) {
            throw std::bad_alloc();
        }
        return FixedWidthCanvas::textExtent(text);
    }

private:
    mutable int m_calls = 0;
};

TEST_F(LayoutTest, OutOfMemoryDuringLayoutAbandonsTheSong) {
    ASSERT_NE(open(karaokeFile({{0, "a "}, {10, "b "}, {20, "c "}, {30, "d "}, {40, "e"}})),
              nullptr);
    StarvingCanvas starving;
    engine.layoutSong(starving, Rect{0, 0, 240, 200});
    EXPECT_EQ(notifier.messages(), (std::vector<std::string>{"Insufficient memory available"}));
    EXPECT_EQ(engine.eventCount(), 0);
    EXPECT_TRUE(engine.events().empty());
    EXPECT_TRUE(engine.lines().empty());
    engine.resetCursor();
    EXPECT_EQ(engine.cursor(), nullptr);
}

// ---- Lines shown -------------------------------------------------------------------------

TEST_F(LayoutTest, LinesShownFallsUntilTheLinesFit) {
    openAndLayOut(karaokeFile({{0, "a"}}));
    ASSERT_EQ(engine.lineHeight(), 20);
    engine.layoutSong(canvas, Rect{0, 10, 240, 10 + 30 + 100});  // 100 below LAbove 30
    engine.setLinesShown(6, 0, 30);
    EXPECT_EQ(engine.linesShown(), 5);
    EXPECT_EQ(engine.spaceAbove(), 30);
    engine.setLinesShown(1, 0, 30);
    EXPECT_EQ(engine.linesShown(), 1);
}

TEST_F(LayoutTest, OneLineIsShownEvenIfItDoesNotFit) {
    openAndLayOut(karaokeFile({{0, "a"}}));
    engine.layoutSong(canvas, Rect{0, 0, 240, 10});
    engine.setLinesShown(4, 0, 0);
    EXPECT_EQ(engine.linesShown(), 1);
}

TEST_F(LayoutTest, AllScreenShowsAsManyLinesAsFit) {
    openAndLayOut(karaokeFile({{0, "a"}}));
    engine.layoutSong(canvas, Rect{0, 0, 240, 119});
    engine.setLinesShown(2, 1, 0);
    EXPECT_EQ(engine.linesShown(), 5);
    engine.layoutSong(canvas, Rect{0, 0, 240, 10});
    engine.setLinesShown(2, 1, 0);
    EXPECT_EQ(engine.linesShown(), 0);
}

// ---- wrapText ----------------------------------------------------------------------------

class WrapTextTest : public ::testing::Test {
protected:
    CLyrTextDraw wrap(std::u16string text, std::int32_t width) {
        CLyrTextDraw box;
        box.rect = Rect{0, 0, width, 100};
        box.text = std::move(text);
        wrapText(box, canvas);
        return box;
    }
    FixedWidthCanvas canvas{10, 20};
};

TEST_F(WrapTextTest, TextThatFitsIsOneLineMeasuredWhole) {
    const CLyrTextDraw box = wrap(u"hello", 100);
    EXPECT_EQ(box.lineCount, 1);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"hello"}));
    EXPECT_EQ(box.firstLine, u"hello");
    EXPECT_EQ(box.firstLineWidth, 50);
    EXPECT_EQ(box.firstLineHeight, 20);
}

TEST_F(WrapTextTest, BreaksAfterTheLastSpaceThatFits) {
    const CLyrTextDraw box = wrap(u"hello big world", 100);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"hello big ", u"world"}));
    EXPECT_EQ(box.lineCount, 2);
    EXPECT_EQ(box.firstLineWidth, 100);
}

TEST_F(WrapTextTest, WordWithoutSpaceIsBrokenWhereItStopsFitting) {
    const CLyrTextDraw box = wrap(u"abcdefghij", 50);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"abcde", u"fghij"}));
}

TEST_F(WrapTextTest, LineFeedBreaksAfterItAndShowsAsASpace) {
    const CLyrTextDraw box = wrap(u"ab\ncd", 1000);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"ab ", u"cd"}));
    EXPECT_EQ(box.firstLineWidth, 30);
}

TEST_F(WrapTextTest, SpacesAndTabsAndOneLineFeedAreSkippedAtABreak) {
    EXPECT_EQ(wrap(u"abcde   \tfg", 50).lines, (std::vector<std::u16string>{u"abcde", u"fg"}));
    EXPECT_EQ(wrap(u"abcde \n\nfg", 50).lines,
              (std::vector<std::u16string>{u"abcde", u" ", u"fg"}));
}

TEST_F(WrapTextTest, TrailingSpacesThatDoNotFitMakeNoSecondLine) {
    const CLyrTextDraw box = wrap(u"ab  ", 30);
    EXPECT_EQ(box.lineCount, 1);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"ab "}));
    EXPECT_EQ(box.firstLineWidth, 40);  // the whole text is measured
}

TEST_F(WrapTextTest, OneCharacterRestIsALine) {
    EXPECT_EQ(wrap(u"abcdef", 50).lines, (std::vector<std::u16string>{u"abcde", u"f"}));
}

TEST_F(WrapTextTest, EveryLineTakesAtLeastOneCharacter) {
    EXPECT_EQ(wrap(u"abc", 5).lines, (std::vector<std::u16string>{u"a", u"b", u"c"}));
    EXPECT_EQ(wrap(u"a c", 0).lines, (std::vector<std::u16string>{u"a", u"c"}));
    EXPECT_EQ(wrap(u" b", -10).lines, (std::vector<std::u16string>{u" ", u"b"}));
}

TEST_F(WrapTextTest, EmptyTextIsOneLineOfNothing) {
    const CLyrTextDraw box = wrap(u"", 100);
    EXPECT_EQ(box.lineCount, 1);
    EXPECT_TRUE(box.lines.empty());
    EXPECT_EQ(box.firstLine, u"");
    EXPECT_EQ(box.firstLineWidth, 0);
}

TEST_F(WrapTextTest, FontWithoutMaximumWidthDoesNotDivideByZero) {
    FixedWidthCanvas zero(0, 20);
    CLyrTextDraw box;
    box.rect = Rect{0, 0, 100, 100};
    box.text = u"abc";
    wrapText(box, zero);
    EXPECT_EQ(box.lineCount, 1);
}

TEST_F(WrapTextTest, BoxCanBeWrappedAgain) {
    CLyrTextDraw box = wrap(u"abcdefghij", 50);
    box.text = u"xy";
    wrapText(box, canvas);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"xy"}));
    EXPECT_EQ(box.firstLineWidth, 20);
}

// A font whose characters differ in width, as real ones do, and whose widest character is
// far wider than the average: the starting guess then falls well short of a full line.
class ProportionalCanvas : public FixedWidthCanvas {
public:
    ProportionalCanvas() : FixedWidthCanvas(24, 17) {}
    std::int32_t maxCharWidth() const override { return 24; }
    std::int32_t textExtent(std::u16string_view text) const override {
        std::int32_t width = 0;
        for (char16_t c : text) {
            width += widthOf(c);
        }
        return width;
    }
    Size measureSingleLine(std::u16string_view text) const override {
        return text.empty() ? Size{} : Size{textExtent(text), 17};
    }

private:
    static std::int32_t widthOf(char16_t c) {
        switch (c) {
            case u'i':
                return 3;
            case u'm':
                return 24;
            case u' ':
                return 4;
            case u'\t':
                return 0;
            default:
                return 7;
        }
    }
};

TEST_F(WrapTextTest, ProportionalFontFillsLinesBeyondTheStartingGuess) {
    ProportionalCanvas proportional;
    CLyrTextDraw box;
    box.rect = Rect{0, 0, 48, 100};  // the guess is 2 characters; "aaaaaa" takes 42 px
    box.text = u"aaaaaa iii m";
    wrapText(box, proportional);
    EXPECT_EQ(box.lines, (std::vector<std::u16string>{u"aaaaaa ", u"iii m"}));
    EXPECT_EQ(box.firstLineWidth, 46);
    EXPECT_EQ(box.firstLineHeight, 17);
}

TEST_F(WrapTextTest, LayoutFitTestAgreesWithAFullWrap) {
    // The layout looks only at the first line of a wrap; it must see what wrapText sees.
    ProportionalCanvas proportional;
    std::mt19937 random(7);
    const std::u16string alphabet = u"aim  \t\n/x";
    for (int round = 0; round < 3000; ++round) {
        std::u16string text(random() % 30, u'a');
        for (char16_t& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        const std::int32_t width = static_cast<std::int32_t>(random() % 120) - 10;
        for (const Canvas* font :
             {static_cast<const Canvas*>(&canvas), static_cast<const Canvas*>(&proportional)}) {
            CLyrTextDraw box;
            box.rect = Rect{0, 0, width, 10};
            box.text = text;
            wrapText(box, *font);
            const detail::FirstLineFit fit = detail::fitFirstLine(text, width, *font);
            SCOPED_TRACE(::testing::Message() << "round " << round << " width " << width);
            ASSERT_EQ(fit.single, box.lineCount == 1);
            if (!text.empty()) {
                ASSERT_EQ(fit.length, box.lines.front().size());
                ASSERT_EQ(fit.size.width, box.firstLineWidth);
                ASSERT_EQ(fit.size.height, box.firstLineHeight);
            }
        }
    }
}

// ---- Canvas and stream -------------------------------------------------------------------

TEST(FixedWidthCanvasTest, EveryCharacterHasTheSameWidth) {
    const FixedWidthCanvas canvas(7, 13);
    EXPECT_EQ(canvas.maxCharWidth(), 7);
    EXPECT_EQ(canvas.textExtent(u"abc"), 21);
    EXPECT_EQ(canvas.textExtent(u""), 0);
    EXPECT_EQ(canvas.measureSingleLine(u"ab\nc"), (Size{28, 13}));
    EXPECT_EQ(canvas.measureSingleLine(u""), (Size{0, 0}));
}

TEST(FixedWidthCanvasTest, RecordsDrawingInOrderWithTheStateInEffect) {
    FixedWidthCanvas canvas(10, 20);
    canvas.setTextColour(rgb(1, 2, 3));
    canvas.setTransparentText(true);
    canvas.setFont(FontSpec{"Face", 12, true, false});
    EXPECT_EQ(canvas.drawTextInRect(Rect{0, 0, 100, 50}, u"abc", HAlign::Right, VAlign::Bottom),
              20);
    EXPECT_EQ(canvas.drawTextInRect(Rect{0, 0, 101, 50}, u"abc", HAlign::Centre), 20);
    const Rect clip{5, 5, 15, 15};
    canvas.drawTextAt(-3, 4, u"xy", &clip);
    canvas.fillRect(Rect{1, 2, 3, 4}, kWhite);
    ASSERT_EQ(canvas.ops().size(), 4u);
    const DrawOp& right = canvas.ops()[0];
    EXPECT_EQ(right.kind, DrawOp::Kind::TextInRect);
    EXPECT_EQ(right.cell, (Rect{70, 30, 100, 50}));
    EXPECT_EQ(right.clip, (Rect{0, 0, 100, 50}));
    EXPECT_EQ(right.colour, rgb(1, 2, 3));
    EXPECT_TRUE(right.transparent);
    EXPECT_EQ(right.font.faceName, "Face");
    EXPECT_EQ(canvas.ops()[1].cell, (Rect{35, 0, 65, 20}));  // (101 - 30) / 2 rounds down
    EXPECT_EQ(canvas.ops()[2].cell, (Rect{-3, 4, 17, 24}));
    EXPECT_EQ(canvas.ops()[2].clip, clip);
    EXPECT_EQ(canvas.ops()[3].kind, DrawOp::Kind::Fill);
    EXPECT_EQ(canvas.ops()[3].colour, kWhite);
    canvas.clearOps();
    EXPECT_TRUE(canvas.ops().empty());
}

TEST(MemoryStreamTest, ReadsUpToTheEndAndClampsPositions) {
    const std::vector<std::uint8_t> bytes{1, 2, 3};
    MemoryStream stream(bytes);
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 2), 2u);
    EXPECT_EQ(stream.position(), 2);
    EXPECT_EQ(stream.read(buffer, 8), 1u);
    EXPECT_EQ(buffer[0], 3);
    EXPECT_EQ(stream.read(buffer, 8), 0u);
    stream.setPosition(100);
    EXPECT_EQ(stream.position(), 3);
    stream.setPosition(-5);
    EXPECT_EQ(stream.position(), 0);
    stream.setPosition(1);
    EXPECT_EQ(stream.read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], 2);
}

}  // namespace
}  // namespace melodeck::test

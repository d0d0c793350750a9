// The lyric display: background, pages in pairs of rows, the karaoke highlight, the picture
// wipe at pauses and the title block, checked on the recording fixed-width canvas
// (10 px characters, 20 px lines).

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "notifier.h"
#include "smf_builder.h"

namespace melodeck::test {
namespace {

using Kind = DrawOp::Kind;

constexpr Colour kSong = rgb(10, 20, 30);
constexpr Colour kPlayed = rgb(255, 0, 255);
constexpr Rect kArea{0, 0, 240, 200};

// The engine as the view drives it at a pause: `pictureLoads` empty stands for an empty
// picture list, otherwise it tells whether the next picture loads.
class DisplayLyrText : public CLyrText {
public:
    using CLyrText::CLyrText;
    std::optional<bool> pictureLoads;
    BitmapView nextPicture;

protected:
    bool changePictureAtBreak() override {
        if (!pictureLoads) return false;
        if (*pictureLoads) {
            setBackground(nextPicture);
        } else {
            clearBackground();
        }
        setNewPictureReady(*pictureLoads);
        return true;
    }
};

// A picture of one colour, stored as the loader stores it.
struct Picture {
    Picture(std::int32_t width, std::int32_t height)
        : width(width),
          height(height),
          bits(static_cast<std::size_t>((width + 3) / 4 * 4 * 3 * height)) {}
    BitmapView view() const { return BitmapView{width, height, (width + 3) / 4 * 4, bits}; }
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint8_t> bits;
};

// One line per syllable "/lineN ": "/" opens a new line, the space ends the word.
SmfBuilder linesFile(int lines, std::uint32_t ticksApart = 100) {
    std::vector<Syllable> syllables;
    for (int i = 0; i < lines; ++i) {
        syllables.push_back(
            {static_cast<std::uint32_t>(i) * ticksApart, "/line" + std::to_string(i + 1) + " "});
    }
    return karaokeFile(syllables);
}

class PaintTest : public ::testing::Test {
protected:
    void start(const SmfBuilder& smf, std::int32_t linesShown = 4, Rect area = kArea,
               std::int32_t spaceAbove = 0) {
        const SmfBuilder::Bytes bytes = smf.build();
        MemoryStream stream(bytes);
        ASSERT_NE(engine.openSong(stream), nullptr);
        engine.layoutSong(canvas, area);
        engine.setLinesShown(linesShown, 0, spaceAbove);
        engine.setTitleRect(area);
        engine.setSongColour(kSong);
        engine.setPlayedColour(kPlayed);
        engine.setHasPicture(withPicture);
        if (withPicture) engine.setBackground(picture.view());
        engine.beginDisplay(&canvas);
        engine.startClock(engine.firstLyricTime());
        canvas.clearOps();
    }
    // The view's first steps once playback reports progress.
    void showFirstPage() {
        engine.restoreBackground();
        engine.showNextLine(false);
    }
    const SongEvent& find(std::string_view text) const {
        for (const SongEvent& e : engine.events()) {
            if (e.text && *e.text == text) return e;
        }
        ADD_FAILURE() << "no event " << text;
        return engine.events().front();
    }
    void reach(std::string_view text) { engine.advanceTo(find(text).sampleTime); }

    std::vector<DrawOp> ofKind(Kind kind) const {
        std::vector<DrawOp> out;
        for (const DrawOp& op : canvas.ops()) {
            if (op.kind == kind) out.push_back(op);
        }
        return out;
    }
    // Text operations as (text, colour, row) for the page's 20 px rows.
    struct Line {
        std::u16string text;
        Colour colour;
        std::int32_t top;
        friend bool operator==(const Line&, const Line&) = default;
        friend std::ostream& operator<<(std::ostream& out, const Line& line) {
            out << '"';
            for (char16_t c : line.text) out << static_cast<char>(c);
            return out << "\" colour " << std::hex << line.colour << std::dec << " top "
                       << line.top;
        }
    };
    std::vector<Line> texts() const {
        std::vector<Line> out;
        for (const DrawOp& op : canvas.ops()) {
            if (op.kind == Kind::TextAt || op.kind == Kind::TextInRect) {
                out.push_back({op.text, op.colour, op.cell.top});
            }
        }
        return out;
    }

    RecordingNotifier notifier;
    DisplayLyrText engine{notifier};
    FixedWidthCanvas canvas{10, 20};
    bool withPicture = false;
    Picture picture{240, 200};
};

// ---- Colours and background --------------------------------------------------------------

TEST_F(PaintTest, WithoutPictureUnsungTextIsBlackOnWhiteAndSungTextThePlayedColour) {
    start(karaokeFile({{0, "Hel"}, {100, "lo "}, {200, "/world"}}));
    showFirstPage();
    reach("Hel");
    const std::vector<DrawOp> fills = ofKind(Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, kArea);
    EXPECT_EQ(fills[0].colour, kWhite);
    EXPECT_TRUE(ofKind(Kind::Picture).empty());
    EXPECT_EQ(texts(), (std::vector<Line>{
                           {u"Hello ", kBlack, 0}, {u"world", kBlack, 20}, {u"Hel", kPlayed, 0}}));
    const DrawOp highlight = canvas.ops().back();
    EXPECT_EQ(highlight.kind, Kind::TextAt);
    EXPECT_EQ(highlight.cell.left, (240 - 60) / 2);
    EXPECT_EQ(highlight.clip, engine.textRect());
    EXPECT_TRUE(highlight.transparent);
    // The painting leaves the canvas's state as it found it.
    EXPECT_EQ(canvas.textColour(), kBlack);
    EXPECT_FALSE(canvas.transparentText());
}

TEST_F(PaintTest, WithPictureTheBackgroundIsCopiedAndUnsungTextHasTheSongColour) {
    withPicture = true;
    start(linesFile(2));
    showFirstPage();
    const std::vector<DrawOp> copies = ofKind(Kind::Picture);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].source, kArea);
    EXPECT_EQ(copies[0].rect, kArea);
    EXPECT_EQ(copies[0].pictureBits, picture.bits.data());
    EXPECT_TRUE(ofKind(Kind::Fill).empty());
    EXPECT_EQ(texts().front().colour, kSong);
}

TEST_F(PaintTest, OnAHighResolutionScreenCopiesAndFillsScaleButTextDoesNot) {
    withPicture = true;
    canvas.setDotsPerInch({192, 192});
    start(linesFile(2));
    showFirstPage();
    const std::vector<DrawOp> copies = ofKind(Kind::Picture);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].source, kArea);
    EXPECT_EQ(copies[0].rect, (Rect{0, 0, 480, 400}));
    EXPECT_EQ(texts()[1].top, 20);
    EXPECT_EQ(texts()[1].text, u"line2 ");

    engine.setHasPicture(false);
    canvas.clearOps();
    engine.restoreBackground();
    ASSERT_EQ(ofKind(Kind::Fill).size(), 1u);
    EXPECT_EQ(ofKind(Kind::Fill)[0].rect, (Rect{0, 0, 480, 400}));
}

TEST_F(PaintTest, NothingIsPaintedWithoutACanvasButTheCursorMovesOn) {
    start(linesFile(3));
    engine.beginDisplay(nullptr);
    engine.startClock(engine.firstLyricTime());
    engine.restoreBackground();
    engine.showNextLine(false);
    reach("/line2 ");
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(engine.cursor(), &find("/line3 "));
}

// ---- Pages -------------------------------------------------------------------------------

TEST_F(PaintTest, SecondHalfOfTheDisplayPutsLinesInRowsThreeZeroOneFour) {
    start(linesFile(9), 5);
    for (int i = 0; i < 3; ++i) engine.showNextLine(false);
    EXPECT_EQ(engine.half(), 0);
    EXPECT_EQ(engine.playedRows(), 2);
    canvas.clearOps();

    engine.showNextLine(false);  // line 4: line 3 stays sung, rows 0 and 1 are refilled
    EXPECT_EQ(engine.half(), 1);
    EXPECT_EQ(engine.playedRows(), 1);
    const std::vector<DrawOp> fills = ofKind(Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (Rect{0, 0, 240, 100}));
    EXPECT_EQ(canvas.ops().front().kind, Kind::Fill);
    EXPECT_EQ(texts(), (std::vector<Line>{{u"line3 ", kPlayed, 40},
                                          {u"line4 ", kBlack, 60},
                                          {u"line5 ", kBlack, 0},
                                          {u"line6 ", kBlack, 20},
                                          {u"line7 ", kBlack, 80}}));
}

TEST_F(PaintTest, EachLineOfAPairIsHighlightedInItsOwnRow) {
    start(linesFile(6));
    showFirstPage();
    std::vector<std::int32_t> rows;
    for (const char* text : {"/line1 ", "/line2 ", "/line3 ", "/line4 ", "/line5 ", "/line6 "}) {
        canvas.clearOps();
        reach(text);
        rows.push_back(canvas.ops().back().cell.top / 20);
        EXPECT_EQ(canvas.ops().back().colour, kPlayed);
    }
    EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 1, 2, 3, 0, 1}));
}

TEST_F(PaintTest, LastPageStopsAtTheEndOfTheLines) {
    start(linesFile(2));
    showFirstPage();
    EXPECT_EQ(texts().size(), 2u);
    // Moving past the last line keeps the page.
    engine.showNextLine(false);
    engine.showNextLine(false);
    EXPECT_EQ(engine.displayedLine(), &engine.lines().back());
}

TEST_F(PaintTest, FullRepaintShowsTheSungPartUpToTheDueSyllable) {
    start(karaokeFile({{0, "Hap"}, {100, "py "}, {200, "birth"}, {300, "day/"}}));
    showFirstPage();
    reach("py ");  // the cursor now waits at "birth"
    canvas.clearOps();
    engine.paintEvent(true);
    EXPECT_EQ(canvas.ops().front().kind, Kind::Fill);
    EXPECT_EQ(texts(),
              (std::vector<Line>{{u"Happy birthday", kBlack, 0}, {u"Happy ", kPlayed, 0}}));
    EXPECT_EQ(engine.cursor(), &find("birth"));
}

TEST_F(PaintTest, EmptySyllableColoursNothingButMovesThePage) {
    start(karaokeFile({{0, "one/"}, {100, ""}, {200, "two"}}));
    showFirstPage();
    reach("one/");
    canvas.clearOps();
    engine.advanceTo(find("").sampleTime);
    EXPECT_EQ(engine.displayedLine(), &*std::next(engine.lines().begin()));
    EXPECT_TRUE(ofKind(Kind::TextAt).empty());
    EXPECT_EQ(texts(), (std::vector<Line>{{u"one", kPlayed, 0}, {u"two", kBlack, 20}}));
}

TEST_F(PaintTest, ReportThatJumpsOverLinesCatchesThePageUp) {
    start(linesFile(6));
    showFirstPage();
    canvas.clearOps();
    reach("/line3 ");  // line1 and line2 are passed over in one report
    EXPECT_EQ(engine.displayedLine(), &*std::next(engine.lines().begin(), 2));
    EXPECT_EQ(canvas.ops().back().text, u"line3 ");
    EXPECT_EQ(canvas.ops().back().cell.top, 40);
}

// ---- Pauses ------------------------------------------------------------------------------

class WipeTest : public PaintTest {
protected:
    // Two lines twenty seconds apart: a long pause with its markers between them.
    void startWithPause(Rect area) {
        start(karaokeFile({{0, "before/"}, {20000, "after"}}), 4, area);
        showFirstPage();
        reach("before/");
        canvas.clearOps();
    }
    // Plays every event up to the one that shows the next page.
    void playThePause() {
        std::int32_t nextPage = 0;
        for (const SongEvent& e : engine.events()) {
            if (e.marker == 0 && !e.text && &e != &engine.events().front()) nextPage = e.sampleTime;
        }
        for (int i = 0; i < 12; ++i) engine.advanceTo(nextPage - 1);
    }
};

TEST_F(WipeTest, NewPictureIsWipedInBandsDownToTheAreaBottom) {
    Picture next(240, 200);
    engine.pictureLoads = true;
    engine.nextPicture = next.view();
    startWithPause(Rect{0, 0, 240, 110});
    playThePause();
    std::vector<Rect> bands;
    for (const DrawOp& op : ofKind(Kind::Picture)) {
        EXPECT_EQ(op.source, op.rect);
        EXPECT_EQ(op.pictureBits, next.bits.data());
        bands.push_back(op.rect);
    }
    EXPECT_EQ(bands, (std::vector<Rect>{{0, 0, 240, 25},
                                        {0, 25, 240, 50},
                                        {0, 50, 240, 75},
                                        {0, 75, 240, 100},
                                        {0, 100, 240, 110}}));
    EXPECT_TRUE(ofKind(Kind::Fill).empty());
}

TEST_F(WipeTest, BandsScaleOnAHighResolutionScreen) {
    Picture next(240, 200);
    engine.pictureLoads = true;
    engine.nextPicture = next.view();
    canvas.setDotsPerInch({192, 192});
    startWithPause(kArea);
    playThePause();
    const std::vector<DrawOp> bands = ofKind(Kind::Picture);
    ASSERT_EQ(bands.size(), 8u);  // the ninth band would start at the bottom, 200
    EXPECT_EQ(bands[1].source, (Rect{0, 25, 240, 50}));
    EXPECT_EQ(bands[1].rect, (Rect{0, 50, 480, 100}));
}

TEST_F(WipeTest, PictureThatFailsToLoadWhitensTheAreaAtTheLastMarker) {
    engine.pictureLoads = false;
    startWithPause(kArea);
    playThePause();
    EXPECT_TRUE(ofKind(Kind::Picture).empty());
    const std::vector<DrawOp> fills = ofKind(Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, kArea);
    EXPECT_EQ(fills[0].colour, kWhite);
}

TEST_F(WipeTest, WithoutPicturesTheAreaTurnsWhiteAtOnceAndTheNextPageFollows) {
    startWithPause(kArea);
    engine.advanceTo(find("before/").sampleTime + 3 * 22050);
    const std::vector<DrawOp> fills = ofKind(Kind::Fill);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, kArea);
    // The marker that shows the next page was painted: the page moved on to "after".
    EXPECT_EQ(engine.displayedLine(), &engine.lines().back());
    EXPECT_EQ(texts().back().text, u"after");
}

// ---- Title block -------------------------------------------------------------------------

TEST_F(PaintTest, TitleBlockShowsInformationCentredInBlackUntilTheRoomRunsOut) {
    SmfBuilder smf;
    smf.header(1, 3, 480).track().endOfTrack().track().endOfTrack().track();
    smf.text("@TMy Song").text("@TSinger").text("@TLast").delta(10).text("a").endOfTrack();
    engine.setLyricFont(FontSpec{"Lyrics", 12, true, false});
    start(smf, 4, Rect{0, 0, 240, 70}, 20);
    engine.paintTitleBlock();
    const std::vector<DrawOp> lines = ofKind(Kind::TextInRect);
    ASSERT_EQ(lines.size(), 2u);  // no line height is left for the third at y = 60
    EXPECT_EQ(lines[0].text, u"My Song");
    EXPECT_EQ(lines[0].cell, (Rect{85, 20, 155, 40}));
    EXPECT_EQ(lines[0].colour, kBlack);
    EXPECT_TRUE(lines[0].transparent);
    EXPECT_EQ(lines[0].font.faceName, "Lyrics");
    EXPECT_EQ(lines[1].text, u"Singer");
    EXPECT_EQ(lines[1].cell.top, 40);
    EXPECT_EQ(canvas.font(), FontSpec{});
}

TEST_F(PaintTest, BeginDisplayWhitensTheTitleAreaAndResetsThePage) {
    withPicture = true;
    start(linesFile(6));
    showFirstPage();
    reach("/line3 ");
    engine.setNewPictureReady(true);
    canvas.clearOps();
    engine.beginDisplay(&canvas);
    ASSERT_FALSE(canvas.ops().empty());
    EXPECT_EQ(canvas.ops().front().kind, Kind::Fill);
    EXPECT_EQ(canvas.ops().front().rect, kArea);
    EXPECT_EQ(engine.displayedLine(), nullptr);
    EXPECT_EQ(engine.playedRows(), 0);
    EXPECT_FALSE(engine.newPictureReady());
    EXPECT_FALSE(engine.clockStarted());
    EXPECT_EQ(engine.textRect(), (Rect{0, 0, 240, 80}));
}

}  // namespace
}  // namespace melodeck::test

// The player's song display on the recording canvas (10 px characters, 20 px lines), with
// pictures written by the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "engine/smf_builder.h"
#include "fixed_width_canvas.h"
#include "options/picture_test_support.h"
#include "song_display.h"

namespace melodeck {
namespace {

using Kind = DrawOp::Kind;
using test::karaokeFile;
using test::Rgb;

constexpr Rect kLyricArea{0, 0, 240, 200};
constexpr Rect kClient{0, 0, 240, 260};
constexpr Colour kSong = rgb(250, 250, 10);
constexpr Colour kPlayed = rgb(255, 0, 255);
constexpr std::int32_t kRate = 22050;

class SongDisplayTest : public ::testing::Test {
protected:
    SongDisplayTest() {
        m_settings.ColorSong = kSong;
        m_settings.ColorPlay = kPlayed;
        m_settings.LAbove = 15;
        m_settings.LinesCount = 2;
        m_settings.LDelay = 0;  // song time and lyric time agree
        m_settings.sampleRate = kRate;
    }

    std::filesystem::path picture(const std::string& name, Rgb colour, bool damaged = false) {
        auto bytes = encodeJpeg(test::bands(64, 48, 0, colour, colour), 64, 48, JpegColour::Rgb);
        if (damaged) bytes.resize(bytes.size() / 3);
        return m_dir.write(name, bytes);
    }
    // The chooser the view hands over: the next entry of m_pictures, round and round.
    SongDisplay::PictureChooser chooser() {
        return [this](std::filesystem::path& out) {
            ++m_choices;
            if (m_pictures.empty()) return false;
            out = m_pictures[m_next++ % m_pictures.size()];
            return true;
        };
    }
    // "a" and "b" two seconds apart, then twenty seconds of rest before "c".
    bool open(const test::SmfBuilder& smf = karaokeFile({{0, "/a"}, {1920, "/b"}, {21120, "/c"}})) {
        const auto bytes = smf.build();
        MemoryStream stream(bytes);
        if (m_display.openSong(stream) == nullptr) return false;
        return m_display.prepareDisplay(m_canvas, FontSpec{.faceName = "Lyrics", .pointSize = 16},
                                        kLyricArea, kClient, m_settings);
    }
    // Starts the display and the clock at 0, then runs the clock to `seconds`.
    void playTo(double seconds) {
        if (!m_display.clockStarted()) {
            m_display.startDisplay();
            m_display.startClock(0);
        }
        const auto end = static_cast<std::int32_t>(seconds * kRate);
        for (std::int32_t p = m_position; p <= end; p += 512) m_display.advanceTo(p);
        m_position = end;
    }
    std::vector<DrawOp> ops(Kind kind) const {
        std::vector<DrawOp> out;
        std::copy_if(m_canvas.ops().begin(), m_canvas.ops().end(), std::back_inserter(out),
                     [kind](const DrawOp& op) { return op.kind == kind; });
        return out;
    }
    const std::uint8_t* bitsHeld() const { return m_display.picture().picture()->bits().data(); }

    test::ScratchDir m_dir;
    std::vector<std::filesystem::path> m_pictures;
    std::size_t m_next = 0;
    int m_choices = 0;
    RecordingNotifier m_notifier;
    SongDisplay m_display{m_notifier, chooser()};
    FixedWidthCanvas m_canvas{10, 20};
    SongDisplaySettings m_settings;
    std::int32_t m_position = 0;
};

TEST_F(SongDisplayTest, OpeningLaysOutPaintsTheTitleAndTakesTheNextPicture) {
    m_pictures = {picture("red.jpg", {200, 0, 0}), picture("blue.jpg", {0, 0, 200})};
    ASSERT_TRUE(open());
    EXPECT_EQ(m_choices, 1);
    EXPECT_TRUE(m_display.hasPicture());
    EXPECT_EQ(m_display.background().width, 64);
    EXPECT_EQ(m_display.background().bits.data(), bitsHeld());
    EXPECT_EQ(m_display.songColour(), kSong);
    EXPECT_EQ(m_display.playedColour(), kPlayed);
    EXPECT_EQ(m_display.linesShown(), 2);
    EXPECT_EQ(m_display.textRect(), (Rect{0, 15, 240, 15 + 2 * 20}));
    EXPECT_EQ(m_display.titleRect(), kClient);
    EXPECT_EQ(m_display.lyricDelay(), 0);
    // The title rectangle is whitened before the title block; the canvas keeps its font.
    ASSERT_FALSE(m_canvas.ops().empty());
    EXPECT_EQ(m_canvas.ops()[0].kind, Kind::Fill);
    EXPECT_EQ(m_canvas.ops()[0].rect, kClient);
    EXPECT_EQ(m_canvas.font(), FontSpec{});

    m_canvas.clearOps();
    m_display.startDisplay();
    ASSERT_FALSE(m_canvas.ops().empty());
    const DrawOp& background = m_canvas.ops()[0];
    EXPECT_EQ(background.kind, Kind::Picture);
    EXPECT_EQ(background.rect, kLyricArea);
    EXPECT_EQ(background.pictureBits, bitsHeld());
    ASSERT_FALSE(ops(Kind::TextInRect).empty());
    EXPECT_EQ(ops(Kind::TextInRect)[0].colour, kSong);
}

TEST_F(SongDisplayTest, WithoutPicturesTheLyricsAreBlackOnWhite) {
    ASSERT_TRUE(open());
    EXPECT_EQ(m_choices, 1);
    EXPECT_FALSE(m_display.hasPicture());
    EXPECT_EQ(m_display.songColour(), kBlack);
    m_canvas.clearOps();
    m_display.startDisplay();
    EXPECT_EQ(m_canvas.ops()[0].kind, Kind::Fill);
    EXPECT_EQ(m_canvas.ops()[0].colour, kWhite);
    EXPECT_TRUE(ops(Kind::Picture).empty());
    for (const DrawOp& text : ops(Kind::TextInRect)) EXPECT_EQ(text.colour, kBlack);
}

TEST_F(SongDisplayTest, PictureThatDoesNotLoadAtOpenShowsTheMessageAndBlackOnWhite) {
    m_pictures = {picture("damaged.jpg", {200, 0, 0}, true)};
    ASSERT_TRUE(open());
    EXPECT_EQ(m_notifier.messages(),
              std::vector<std::string>{"Can't open file '" + m_pictures[0].string() + "'"});
    EXPECT_FALSE(m_display.hasPicture());
    EXPECT_EQ(m_display.songColour(), kBlack);
}

TEST_F(SongDisplayTest, SongOfOnlyItsHeadIsNotPrepared) {
    m_pictures = {picture("red.jpg", {200, 0, 0})};
    test::SmfBuilder smf;
    smf.header(1, 3).track().endOfTrack().track().endOfTrack().track().endOfTrack();
    EXPECT_FALSE(open(smf));
    EXPECT_EQ(m_choices, 0);
    EXPECT_TRUE(m_canvas.ops().empty());
}

TEST_F(SongDisplayTest, LongPauseLoadsTheNextPictureAndWipesItIn) {
    m_pictures = {picture("red.jpg", {200, 0, 0}), picture("blue.jpg", {0, 0, 200})};
    ASSERT_TRUE(open());
    const std::uint8_t* first = bitsHeld();
    playTo(3.0);
    EXPECT_EQ(m_choices, 1);
    m_canvas.clearOps();
    // Marker 1 three seconds after "b" (at 2 s), then ten bands a quarter second apart.
    playTo(5.0 + 0.1);
    EXPECT_EQ(m_choices, 2);
    EXPECT_TRUE(m_display.newPictureReady());
    EXPECT_NE(bitsHeld(), first);
    playTo(8.0);
    const auto bands = ops(Kind::Picture);
    ASSERT_EQ(bands.size(), 8u);  // the last two bands start below the 200-pixel area
    for (std::size_t k = 0; k < bands.size(); ++k) {
        EXPECT_EQ(bands[k].pictureBits, bitsHeld());
        EXPECT_EQ(bands[k].rect.top, static_cast<std::int32_t>(k) * 25);
    }
}

TEST_F(SongDisplayTest, PictureThatFailsAtAPauseLeavesTheRestOfTheSongBlackOnWhite) {
    m_pictures = {picture("red.jpg", {200, 0, 0}), picture("damaged.jpg", {0, 0, 200}, true)};
    ASSERT_TRUE(open());
    playTo(8.0);
    EXPECT_EQ(m_choices, 2);
    EXPECT_FALSE(m_display.newPictureReady());
    EXPECT_FALSE(m_display.hasPicture());
    EXPECT_EQ(m_display.songColour(), kBlack);
    EXPECT_EQ(m_notifier.messages().size(), 1u);
    // The area is whitened at the last wipe marker, and full repaints stay white.
    const auto fills = ops(Kind::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills.back().rect, kLyricArea);
    m_canvas.clearOps();
    m_display.paintEvent(true);
    EXPECT_TRUE(ops(Kind::Picture).empty());
}

TEST_F(SongDisplayTest, PictureListEmptiedBeforeAPauseWhitensTheAreaAtOnce) {
    m_pictures = {picture("red.jpg", {200, 0, 0})};
    ASSERT_TRUE(open());
    playTo(3.0);
    m_pictures.clear();
    m_canvas.clearOps();
    playTo(5.1);
    ASSERT_EQ(ops(Kind::Fill).size(), 1u);
    EXPECT_EQ(ops(Kind::Fill)[0].rect, kLyricArea);
    playTo(8.0);
    EXPECT_TRUE(ops(Kind::Picture).empty());
}

}  // namespace
}  // namespace melodeck

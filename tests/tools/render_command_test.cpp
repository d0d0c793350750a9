// melodeck-tool render on a song written by the test, over pictures written by the test.
// The checks look at background pixels away from the text, so they hold whatever font the
// system substitutes.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "jpeg_writer.h"
#include "smf_writer.h"
#include "tool_runner.h"

namespace melodeck::testing {
namespace {

// 480 ticks are half a second. Six lines of one word, then twelve seconds of rest (a long
// pause: a picture change and its wipe) and two more lines; about 15.5 seconds in all.
std::vector<std::uint8_t> song() {
    SmfWriter smf(1, 3, 480);
    smf.beginTrack().text(0, "@TRender Test").tempo(0, 500000).endTrack();
    smf.emptyTrack();
    smf.beginTrack().trackName(0, "Words");
    smf.text(0, "One/").text(480, "two/").text(480, "three/").text(480, "four/");
    smf.text(480, "five/").text(480, "six/").text(24 * 480, "again/").text(480, "more");
    smf.endTrack();
    return smf.bytes();
}

// A JPEG of one colour, larger than the frames.
std::vector<std::uint8_t> solidJpeg(QColor colour) {
    constexpr int kSide = 400;
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < kSide * kSide; ++i) {
        samples.insert(samples.end(), {static_cast<std::uint8_t>(colour.red()),
                                       static_cast<std::uint8_t>(colour.green()),
                                       static_cast<std::uint8_t>(colour.blue())});
    }
    return encodeJpeg(samples, kSide, kSide, JpegColour::Rgb);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 8 && std::abs(a.green() - b.green()) <= 8 &&
           std::abs(a.blue() - b.blue()) <= 8;
}

struct Frame {
    std::string name;
    double seconds;
    std::string why;
};

const QColor kRed(200, 40, 40);
const QColor kBlue(30, 60, 190);
const QColor kWhite(255, 255, 255);
const QColor kInfoBlock(163, 197, 227);

// Frames of 200 x 300: the info block lies from y 245 to 275, the lyric area above it.
class RenderCommandTest : public ::testing::Test {
protected:
    RenderCommandTest() {
        m_song = m_dir.write("song.kar", song());
        m_red = m_dir.write("red.jpg", solidJpeg(kRed));
        m_blue = m_dir.write("blue.jpg", solidJpeg(kBlue));
    }

    std::vector<Frame> render(std::vector<std::string> options, int exitCode = 0) {
        options.insert(options.begin(), {"render", m_song, "--out", m_out, "--size", "200x300"});
        m_result = runTool(options);
        EXPECT_EQ(m_result.exitCode, exitCode) << m_result.err;
        std::vector<Frame> frames;
        std::istringstream lines(m_result.out);
        Frame frame;
        while (lines >> frame.name >> frame.seconds >> frame.why) frames.push_back(frame);
        return frames;
    }
    QImage image(const Frame& frame) const {
        return QImage(QString::fromStdString(m_out + "/" + frame.name));
    }
    static const Frame* find(const std::vector<Frame>& frames, const std::string& why) {
        for (const Frame& frame : frames) {
            if (frame.why == why) return &frame;
        }
        return nullptr;
    }

    ScratchDir m_dir;
    std::string m_out = m_dir.path() + "/frames";
    std::string m_song, m_red, m_blue;
    ToolResult m_result;
};

TEST_F(RenderCommandTest, EveryPageWritesTitlePagesAndTheWipeOverThePictures) {
    const auto frames = render({"--picture", m_red, "--picture", m_blue});
    ASSERT_GE(frames.size(), 4u) << m_result.out;
    EXPECT_EQ(frames[0].name, "frame-0000.png");
    EXPECT_EQ(frames[0].why, "title");
    for (const Frame& frame : frames) EXPECT_FALSE(image(frame).isNull()) << frame.name;

    const Frame* page = find(frames, "page");
    const Frame* wipe = find(frames, "wipe");
    ASSERT_TRUE(page && wipe) << m_result.out;
    EXPECT_NE(image(frames[0]), image(*page));
    EXPECT_TRUE(find(frames, "pair")) << m_result.out;
    // The wipe ends between 3 and 6 seconds into the twelve-second rest.
    EXPECT_GT(wipe->seconds, 2.5 + 3);
    EXPECT_LT(wipe->seconds, 2.5 + 6);

    // The title block stands on white; the first page over the first picture given, the
    // wipe brings the second; the info block keeps its own colour.
    EXPECT_TRUE(near(image(frames[0]).pixelColor(3, 230), kWhite));
    EXPECT_TRUE(near(image(*page).pixelColor(3, 230), kRed))
        << image(*page).pixelColor(3, 230).name().toStdString();
    EXPECT_TRUE(near(image(*wipe).pixelColor(3, 230), kBlue));
    EXPECT_EQ(image(*page).pixelColor(4, 260), kInfoBlock);
    EXPECT_TRUE(m_result.err.find("Can't open") == std::string::npos) << m_result.err;
}

TEST_F(RenderCommandTest, DamagedPictureGivesTheMessageAndAWhitePage) {
    auto bytes = solidJpeg(kRed);
    bytes.resize(bytes.size() / 3);
    const std::string damaged = m_dir.write("damaged.jpg", bytes);
    const auto frames = render({"--picture", damaged});
    const Frame* page = find(frames, "page");
    ASSERT_TRUE(page) << m_result.out;
    EXPECT_TRUE(near(image(*page).pixelColor(3, 230), kWhite));
    EXPECT_NE(m_result.err.find("Can't open file '" + damaged + "'"), std::string::npos)
        << m_result.err;
}

TEST_F(RenderCommandTest, AtGivenTimesAndWithoutTheInfoBlock) {
    const auto frames = render({"--picture", m_red, "--at", "13.5,1,99", "--info", "0"});
    ASSERT_EQ(frames.size(), 3u) << m_result.out;
    EXPECT_EQ(frames[0].why, "title");
    EXPECT_NEAR(frames[1].seconds, 1.0, 0.05);
    EXPECT_NEAR(frames[2].seconds, 13.5, 0.05);
    EXPECT_EQ(frames[2].why, "time");
    // The lyric area takes the info block's place.
    EXPECT_TRUE(near(image(frames[1]).pixelColor(4, 260), kRed));
    EXPECT_NE(m_result.err.find("times after the song's end"), std::string::npos);
}

TEST_F(RenderCommandTest, DefaultPicturesStartWithTheSecondOfTheCycle) {
    const auto frames = render({"--at", "1"});
    ASSERT_EQ(frames.size(), 2u) << m_result.out;
    // Flower.jpg, the second default, not Water.jpg, the first.
    const char* source = std::getenv("MELODECK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const QImage flower(QString(source) + "/data/Images/Flower.jpg");
    const QImage water(QString(source) + "/data/Images/Water.jpg");
    ASSERT_FALSE(flower.isNull() || water.isNull());
    const QColor shown = image(frames[1]).pixelColor(3, 230);
    EXPECT_TRUE(near(shown, flower.pixelColor(3, 230)));
    EXPECT_FALSE(near(shown, water.pixelColor(3, 230)));
}

TEST_F(RenderCommandTest, UsageErrors) {
    render({"--at", "1", "--every-page"}, 1);
    render({"--size", "0x10"}, 1);
    render({"--at", "-1"}, 1);
    m_result = runTool({"render", m_song});
    EXPECT_EQ(m_result.exitCode, 1);
    m_result = runTool({"render", m_dir.path() + "/missing.kar", "--out", m_out});
    EXPECT_EQ(m_result.exitCode, 2);
}

}  // namespace
}  // namespace melodeck::testing

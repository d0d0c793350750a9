// melodeck-tool dump and trace, run as a user runs them, on songs written by the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "smf_writer.h"
#include "tool_runner.h"

namespace melodeck::testing {
namespace {

QJsonObject parseObject(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

QJsonArray parseArray(const std::string& text) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(doc.isArray());
    return doc.array();
}

// Three tracks at 480 ticks per quarter and 120 beats per minute, so 480 ticks are half a
// second (11025 samples at 22050 per second). The words make the lines "Happy birthday"
// and "to ".
std::vector<std::uint8_t> birthdaySong() {
    SmfWriter smf(1, 3, 480);
    smf.beginTrack().trackName(0, "Song").tempo(0, 500000).text(0, "@TBirthday Song").endTrack();
    smf.emptyTrack();
    smf.beginTrack()
        .trackName(0, "Words")
        .text(0, "\\Hap")
        .text(480, "py ")
        .noteOn(0, 60)
        .text(480, "birth")
        .text(480, "day/")
        .text(480, "to ")
        .endTrack();
    return smf.bytes();
}

// "One two/" then, twelve seconds later, "three four": a long pause between two pages.
std::vector<std::uint8_t> pauseSong() {
    SmfWriter smf(1, 3, 480);
    smf.emptyTrack().emptyTrack();
    smf.beginTrack()
        .text(0, "One ")
        .text(480, "two/")
        .text(24 * 480, "three ")
        .text(480, "four")
        .endTrack();
    return smf.bytes();
}

class DumpCommandTest : public ::testing::Test {
protected:
    QJsonObject dump(const std::vector<std::uint8_t>& song, std::vector<std::string> options) {
        options.insert(options.begin(), {"dump", m_dir.write("song.kar", song)});
        const ToolResult result = runTool(options);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return parseObject(result.out);
    }

    ScratchDir m_dir;
};

std::vector<QString> texts(const QJsonArray& array, const char* field) {
    std::vector<QString> out;
    for (const auto& item : array) out.push_back(item.toObject()[field].toString());
    return out;
}

TEST_F(DumpCommandTest, ReadStageShowsTheMergedListBeforeLayout) {
    const QJsonObject song = dump(birthdaySong(), {"--stage", "read"});
    EXPECT_TRUE(song["accepted"].toBool());
    EXPECT_EQ(song["format"].toInt(), 1);
    EXPECT_EQ(song["tracks"].toInt(), 3);
    EXPECT_EQ(song["division"].toInt(), 480);
    const QJsonArray events = song["events"].toArray();
    ASSERT_EQ(song["eventCount"].toInt(), events.size());
    ASSERT_EQ(events.size(), 7);  // head, five syllables, the tempo after the first
    EXPECT_TRUE(events[0].toObject()["text"].isNull());
    EXPECT_EQ(events[1].toObject()["text"].toString(), "\\Hap");
    EXPECT_EQ(events[2].toObject()["tempo"].toInt(), 500000);
    EXPECT_TRUE(events[2].toObject()["text"].isNull());
    for (const auto& item : events) {
        const QJsonObject event = item.toObject();
        EXPECT_TRUE(event["line"].isNull());
        EXPECT_EQ(event["sampleTime"].toInt(), 0);
        EXPECT_EQ(event["length"].toInt(), 0);
    }
    EXPECT_EQ(song["info"].toArray().size(), 2);
    EXPECT_EQ(song["info"].toArray()[0].toString(), "@TBirthday Song");
    EXPECT_TRUE(song["lines"].toArray().isEmpty());
    for (const char* field : {"firstLyricTime", "delayBase", "lyricDelay", "lineHeight"}) {
        EXPECT_EQ(song[field].toInt(), 0) << field;
    }
}

TEST_F(DumpCommandTest, LayoutStageTiesSyllablesToLinesOfTheirOwnWidth) {
    const QJsonObject song =
        dump(birthdaySong(), {"--metrics", "mono:10,20", "--width", "240", "--ldelay", "110"});
    const QJsonArray lines = song["lines"].toArray();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(texts(lines, "text"), (std::vector<QString>{"Happy birthday", "to "}));
    // A line is as wide as its own text, not as the fit test's candidate that also held
    // the look-ahead and the slash.
    for (const auto& item : lines) {
        const QJsonObject line = item.toObject();
        EXPECT_EQ(line["width"].toInt(), 10 * line["length"].toInt());
        EXPECT_EQ(line["length"].toInt(), line["text"].toString().size());
    }
    EXPECT_EQ(lines[0].toObject()["pageStart"].toInt(), 1);
    EXPECT_EQ(lines[1].toObject()["pageStart"].toInt(), 0);

    const QJsonArray events = song["events"].toArray();
    ASSERT_EQ(events.size(), 6);  // the tempo event is gone
    EXPECT_EQ(song["eventCount"].toInt(), 6);
    EXPECT_TRUE(events[0].toObject()["line"].isNull());
    const int expectedLine[] = {0, 0, 0, 0, 1};
    const int expectedOffset[] = {0, 3, 6, 11, 0};
    const int expectedTime[] = {0, 11025, 22050, 33075, 44100};
    for (int i = 0; i < 5; ++i) {
        const QJsonObject event = events[i + 1].toObject();
        EXPECT_EQ(event["line"].toInt(), expectedLine[i]) << i;
        EXPECT_EQ(event["lineOffset"].toInt(), expectedOffset[i]) << i;
        EXPECT_EQ(event["sampleTime"].toInt(), expectedTime[i]) << i;
    }
    EXPECT_EQ(song["lineHeight"].toInt(), 20);
    EXPECT_EQ(song["lyricDelay"].toInt(), song["delayBase"].toInt() * 110);
}

TEST_F(DumpCommandTest, LongPausePlantsMarkersAndOpensAPage) {
    const QJsonObject song = dump(pauseSong(), {"--metrics", "mono:10,20"});
    std::vector<int> markers;
    for (const auto& item : song["events"].toArray()) {
        markers.push_back(item.toObject()["marker"].toInt());
    }
    const std::vector<int> expected = {0, 0, 0, 1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 2, 0};
    EXPECT_EQ(markers, expected);
    const QJsonArray lines = song["lines"].toArray();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].toObject()["text"].toString(), "three four");
    EXPECT_EQ(lines[1].toObject()["pageStart"].toInt(), 1);
}

TEST_F(DumpCommandTest, TextsKeepTheirBytesAndLinesAreConverted) {
    SmfWriter smf(1, 3, 96);
    smf.beginTrack().trackName(0, std::string_view("\x01N\x7F\x00", 4)).endTrack();
    smf.emptyTrack();
    smf.beginTrack().text(0, "\xC0\xE9 \"q\\").text(96, "a\rb").endTrack();
    const QJsonObject song = dump(smf.bytes(), {"--lang", "3002", "--metrics", "mono:8,16"});
    const QJsonArray events = song["events"].toArray();
    ASSERT_EQ(events.size(), 3);
    // Event texts are the bytes read, byte b as U+00bb; control bytes read as ".".
    EXPECT_EQ(events[1].toObject()["text"].toString(), QString::fromUtf8("\u00C0\u00E9 \"q\\"));
    EXPECT_EQ(events[2].toObject()["text"].toString(), "a.b");
    // A track name keeps its control bytes, up to its first NUL.
    EXPECT_EQ(song["info"].toArray(), QJsonArray({QString::fromUtf8("\u0001N\u007f")}));
    // Lines went through the Cyrillic table.
    EXPECT_EQ(song["lines"].toArray()[0].toObject()["text"].toString(),
              QString::fromUtf8("\u0410\u0439 \"q\\a.b"));
}

TEST_F(DumpCommandTest, NarrowAndNegativeWidthsStillFinish) {
    for (const char* width : {"5", "0", "-100"}) {
        const QJsonObject song = dump(birthdaySong(), {"--metrics", "mono:10,20", "--width", width});
        // Every line holds at least one character, so the word "birthday" needs many lines.
        EXPECT_GE(song["lines"].toArray().size(), 8) << width;
    }
}

TEST_F(DumpCommandTest, RealFontLayoutNeedsNoDisplay) {
    const QJsonObject song = dump(birthdaySong(), {});
    EXPECT_GT(song["lineHeight"].toInt(), 0);
    for (const auto& item : song["lines"].toArray()) {
        const QJsonObject line = item.toObject();
        if (line["length"].toInt() > 0) {
            EXPECT_GT(line["width"].toInt(), 0);
        }
    }
}

TEST_F(DumpCommandTest, FilesThatAreNotSongsStillGiveAnObject) {
    const QJsonObject notMidi = dump({'h', 'e', 'l', 'l', 'o'}, {});
    EXPECT_FALSE(notMidi["accepted"].toBool());
    EXPECT_EQ(notMidi["eventCount"].toInt(), 0);
    EXPECT_EQ(notMidi["format"].toInt(), 0);
    EXPECT_EQ(notMidi["division"].toInt(), 0);
    EXPECT_TRUE(notMidi["events"].toArray().isEmpty());
    EXPECT_TRUE(notMidi["messages"].toArray().isEmpty());

    // The header promises three tracks but the file ends after the first.
    SmfWriter cut(1, 3, 480);
    cut.beginTrack().trackName(0, "Kept").endTrack();
    const QJsonObject broken = dump(cut.bytes(), {});
    EXPECT_FALSE(broken["accepted"].toBool());
    EXPECT_EQ(broken["tracks"].toInt(), 3);
    EXPECT_EQ(broken["messages"].toArray(), QJsonArray({"Error of track reading"}));
    EXPECT_TRUE(broken["events"].toArray().isEmpty());
    EXPECT_EQ(broken["info"].toArray(), QJsonArray({"Kept"}));
}

TEST_F(DumpCommandTest, HugeDeclaredTextLengthIsAShortRead) {
    for (const std::uint32_t length : {0xFFFFFFFFu, 0x0FFFFFFFu}) {
        SmfWriter smf(1, 3, 480);
        smf.emptyTrack().emptyTrack();
        smf.beginTrack().text(0, "La ").closeTrack();
        std::vector<std::uint8_t> bytes = smf.bytes();
        // A Text event whose declared length runs far past the end of the file.
        bytes.insert(bytes.end(), {0x00, 0xFF, 0x01});
        for (int shift = 28; shift >= 0; shift -= 7) {
            bytes.push_back(static_cast<std::uint8_t>(((length >> shift) & 0x7F) |
                                                      (shift > 0 ? 0x80 : 0)));
        }
        bytes.insert(bytes.end(), {'x', 'y'});
        const QJsonObject song = dump(bytes, {"--stage", "read"});
        // The words track then ends without End of Track.
        EXPECT_FALSE(song["accepted"].toBool());
    }
}

// A fuzzed file whose words track holds one syllable of 15,237 characters: laid out, it
// must spread over lines that each fit the area.
TEST_F(DumpCommandTest, OverlongSyllableSpreadsOverLinesThatFit) {
    const char* data = std::getenv("MELODECK_TEST_DATA");
    ASSERT_NE(data, nullptr);
    const ToolResult result = runTool({"dump", std::string(data) + "/long_syllable.mid",
                                       "--metrics", "mono:7,12", "--width", "240"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QJsonObject song = parseObject(result.out);
    const QJsonArray lines = song["lines"].toArray();
    EXPECT_GT(lines.size(), 15237 / 34);
    for (const auto& item : lines) {
        EXPECT_LE(item.toObject()["length"].toInt(), 240 / 7);
        EXPECT_LE(item.toObject()["width"].toInt(), 240);
    }
    EXPECT_EQ(song["eventCount"].toInt(), song["events"].toArray().size());
}

TEST(ToolCommandLineTest, ExitStatusTellsWhatWentWrong) {
    const ToolResult missing = runTool({"dump", "/nonexistent/song.kar"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("/nonexistent/song.kar"), std::string::npos);

    const ScratchDir dir;
    EXPECT_EQ(runTool({"lyrics", dir.path()}).exitCode, 2);
    const std::string song = dir.write("a.kar", birthdaySong());
    EXPECT_EQ(runTool({"dump", song, "--stage", "sideways"}).exitCode, 1);
    EXPECT_EQ(runTool({"dump", song, "--frobnicate", "1"}).exitCode, 1);
    EXPECT_EQ(runTool({"dump", song, "--rate", "0"}).exitCode, 1);
    EXPECT_EQ(runTool({"dump", song, "--metrics", "mono:0,10"}).exitCode, 1);
    EXPECT_EQ(runTool({"trace", song, "--step", "0"}).exitCode, 1);
    EXPECT_EQ(runTool({"dump"}).exitCode, 1);
    EXPECT_EQ(runTool({"sing"}).exitCode, 1);

    const ToolResult help = runTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"lyrics", "lrc", "dump", "trace"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
}

class TraceCommandTest : public DumpCommandTest {
protected:
    QJsonArray trace(std::vector<std::string> options) {
        options.insert(options.begin(), {"trace", m_dir.write("pause.kar", pauseSong())});
        const ToolResult result = runTool(options);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return parseArray(result.out);
    }
};

TEST_F(TraceCommandTest, WithoutPicturesTheClockJumpsToThePageAfterThePause) {
    const QJsonArray paints = trace({"--metrics", "mono:10,20", "--ldelay", "0"});
    std::vector<std::array<int, 3>> got;
    for (const auto& item : paints) {
        const QJsonObject paint = item.toObject();
        got.push_back({paint["pos"].toInt(), paint["event"].toInt(), paint["marker"].toInt()});
    }
    // Positions are the first multiples of 1024 at or after each event's time: "One" at 0,
    // "two" at 11025, the pause's marker 1 at 77175 (which brings the marker 0 event at
    // once), "three" at 275625, "four" at 286650.
    const std::vector<std::array<int, 3>> expected = {
        {0, 1, 0}, {11264, 2, 0}, {77824, 14, 0}, {276480, 15, 2}, {286720, 16, 0}};
    EXPECT_EQ(got, expected);
}

TEST_F(TraceCommandTest, WithPicturesEveryWipeStepIsPainted) {
    const QJsonArray paints =
        trace({"--metrics", "mono:10,20", "--pictures", "1", "--sync", "5000", "--step", "512"});
    std::vector<int> markers;
    int previousEvent = 0;
    int previousPos = 5000 - 512;
    for (const auto& item : paints) {
        const QJsonObject paint = item.toObject();
        markers.push_back(paint["marker"].toInt());
        EXPECT_GT(paint["event"].toInt(), previousEvent);
        EXPECT_GT(paint["pos"].toInt(), previousPos);
        EXPECT_EQ((paint["pos"].toInt() - 5000) % 512, 0);
        previousEvent = paint["event"].toInt();
        previousPos = paint["pos"].toInt();
    }
    const std::vector<int> wipe = {1, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_NE(std::search(markers.begin(), markers.end(), wipe.begin(), wipe.end()),
              markers.end());
    EXPECT_EQ(previousEvent, 16);
}

}  // namespace
}  // namespace melodeck::testing

// melodeck-tool lyrics and lrc on songs written by the test, and every command on the
// shared corpus of real and broken files.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <cctype>
#include <sstream>

#include "smf_writer.h"
#include "tool_runner.h"

namespace melodeck::testing {
namespace {

// Title and words: "\Hap py␠ birth day/ to␠/" at half-second steps, then after a twelve-second
// pause "Cy" "rillic" in Windows-1251 bytes.
std::vector<std::uint8_t> song() {
    SmfWriter smf(1, 3, 480);
    smf.beginTrack().text(0, "@TBirthday Song").tempo(0, 500000).endTrack();
    smf.emptyTrack();
    smf.beginTrack()
        .trackName(0, "Words")
        .text(0, "\\Hap")
        .text(480, "py ")
        .text(480, "birth")
        .text(480, "day/")
        .text(480, "to /")
        .text(24 * 480, "\xCC\xE8")
        .text(480, "\xF0")
        .endTrack();
    return smf.bytes();
}

class LyricsCommandTest : public ::testing::Test {
protected:
    ToolResult run(const std::string& command, std::vector<std::string> options = {}) {
        options.insert(options.begin(), {command, m_dir.write("song.kar", song())});
        const ToolResult result = runTool(options);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result;
    }

    ScratchDir m_dir;
};

TEST_F(LyricsCommandTest, InformationThenPagesSeparatedByBlankLines) {
    EXPECT_EQ(run("lyrics").out,
              "Birthday Song\nWords\n\nHappy birthday\nto \n\n\xC3\x8C\xC3\xA8\xC3\xB0\n");
    // The Cyrillic table turns the same bytes into "Мир".
    EXPECT_EQ(run("lyrics", {"--lang", "3002"}).out,
              "Birthday Song\nWords\n\nHappy birthday\nto \n\n\xD0\x9C\xD0\xB8\xD1\x80\n");
}

TEST_F(LyricsCommandTest, LrcGivesTitleLineTimesAndSyllableTimes) {
    const std::string lrc = run("lrc", {"--lang", "3002"}).out;
    EXPECT_EQ(lrc,
              "[ti:Birthday Song]\n"
              "[00:00.00]<00:00.00>Hap<00:00.50>py <00:01.00>birth<00:01.50>day\n"
              "[00:02.00]<00:02.00>to \n"
              "[00:14.00]<00:14.00>\xD0\x9C\xD0\xB8<00:14.50>\xD1\x80\n");
    // Sample times follow the rate, so the seconds stay the same.
    const std::string doubled = run("lrc", {"--rate", "44100"}).out;
    EXPECT_NE(doubled.find("[00:14.00]<00:14.00>"), std::string::npos) << doubled;
}

// True when `text` starts at `at` with a time "mm:ss.xx" between `open` and `close`
// (minutes may have more digits); moves `at` past it.
bool readLrcTime(const std::string& text, std::size_t& at, char open, char close) {
    auto digits = [&](std::size_t count, bool more) {
        std::size_t n = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
               (more || n < count)) {
            ++at, ++n;
        }
        return n >= count;
    };
    auto expect = [&](char c) { return at < text.size() && text[at++] == c; };
    return expect(open) && digits(2, true) && expect(':') && digits(2, false) && expect('.') &&
           digits(2, false) && expect(close);
}

TEST_F(LyricsCommandTest, LrcTimesAreWellFormedOnEveryLine) {
    std::istringstream in(run("lrc").out);
    for (std::string text; std::getline(in, text);) {
        if (text.starts_with("[ti:")) continue;
        std::size_t at = 0;
        ASSERT_TRUE(readLrcTime(text, at, '[', ']')) << text;
        int syllables = 0;
        while (at < text.size()) {
            ASSERT_TRUE(readLrcTime(text, at, '<', '>')) << text;
            ++syllables;
            at = std::min(text.find('<', at), text.size());
        }
        EXPECT_GT(syllables, 0) << text;
    }
}

// Every file of the shared corpus, broken ones included, gives exit status 0 and output of
// the promised shape from every command.
TEST(CorpusTest, EveryCommandHandlesEveryFile) {
    const char* corpus = std::getenv("MELODECK_CORPUS_DIR");
    ASSERT_NE(corpus, nullptr);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string path = entry.path().string();
        if (entry.path().extension() != ".mid" && entry.path().extension() != ".kar") continue;
        ++files;
        const ToolResult dump = runTool({"dump", path, "--metrics", "mono:9,18"});
        ASSERT_EQ(dump.exitCode, 0) << path << dump.err;
        const QJsonObject song = QJsonDocument::fromJson(QByteArray::fromStdString(dump.out)).object();
        ASSERT_FALSE(song.isEmpty()) << path;
        const QJsonArray events = song["events"].toArray();
        EXPECT_EQ(song["eventCount"].toInt(), events.size()) << path;
        const int lineCount = song["lines"].toArray().size();
        for (const auto& item : events) {
            const QJsonValue line = item.toObject()["line"];
            if (!line.isNull()) {
                EXPECT_LT(line.toInt(), lineCount) << path;
            }
        }
        for (const auto& item : song["lines"].toArray()) {
            const QJsonObject line = item.toObject();
            EXPECT_EQ(line["width"].toInt(), 9 * line["length"].toInt()) << path;
        }

        // Each run starts a process, which is slow under the sanitizers: the clock and the
        // exports are run only where there is something to run them on.
        if (events.size() < 2) continue;
        const ToolResult trace = runTool({"trace", path, "--metrics", "mono:9,18"});
        EXPECT_EQ(trace.exitCode, 0) << path << trace.err;
        EXPECT_TRUE(QJsonDocument::fromJson(QByteArray::fromStdString(trace.out)).isArray())
            << path;
        if (entry.path().extension() == ".kar") {
            EXPECT_EQ(runTool({"lyrics", path}).exitCode, 0) << path;
            EXPECT_EQ(runTool({"lrc", path}).exitCode, 0) << path;
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
}  // namespace melodeck::testing

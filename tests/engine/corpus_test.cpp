// Every real-world and malformed file of the shared corpus, and the files kept in
// tests/data because they once broke the engine: each is opened and laid out without a
// crash, a hang or a sanitizer report, and what is accepted is consistent.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "notifier.h"

namespace melodeck::test {
namespace {

namespace fs = std::filesystem;

// Every regular file under the directory named by `variable`, or only the song files.
std::vector<fs::path> filesUnder(const char* variable, bool songsOnly) {
    std::vector<fs::path> files;
    const char* dir = std::getenv(variable);
    if (dir == nullptr || !fs::is_directory(dir)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        const bool song = ext == ".mid" || ext == ".kar" || ext == ".midi";
        if (entry.is_regular_file() && (song || !songsOnly)) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Opens one file and checks what the engine makes of it, before and after layout.
void checkSong(const fs::path& path) {
    SCOPED_TRACE(path.filename().string());
    const std::vector<std::uint8_t> bytes = readFile(path);
    RecordingNotifier notifier;
    CLyrText engine(notifier);
    engine.loadCharTable(3003);
    MemoryStream stream(bytes);
    const SongEvent* head = engine.openSong(stream);

    ASSERT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
    if (head == nullptr) {
        EXPECT_TRUE(engine.events().empty());
        return;
    }
    EXPECT_EQ(head, &engine.events().front());
    EXPECT_GE(engine.format(), 0);
    EXPECT_LE(engine.format(), 2);
    EXPECT_TRUE(notifier.messages().empty());
    // Syllables keep their track's order; tempo events sit among them by tick.
    std::int32_t lastSyllableTick = 0;
    for (const SongEvent& e : engine.events()) {
        if (e.tempo == 0) {
            EXPECT_LE(lastSyllableTick, e.tick);
            lastSyllableTick = e.tick;
        }
    }
    if (engine.eventCount() < 2) {
        return;
    }

    const FixedWidthCanvas canvas(10, 20);
    engine.layoutSong(canvas, Rect{0, 0, 240, 320});
    EXPECT_EQ(engine.eventCount(), static_cast<std::int32_t>(engine.events().size()));
    EXPECT_EQ(engine.lineCount(), static_cast<std::int32_t>(engine.lines().size()));
    EXPECT_GE(engine.lineCount(), 1);
    for (const SongEvent& e : engine.events()) {
        EXPECT_EQ(e.tempo, 0u);
    }
    // Real songs never come near the 32-bit wrap, so their times only go forward.
    for (auto it = engine.events().begin(); std::next(it) != engine.events().end(); ++it) {
        EXPECT_LE(it->sampleTime, std::next(it)->sampleTime);
    }
    for (const LyricLine& line : engine.lines()) {
        EXPECT_EQ(line.length, static_cast<std::int32_t>(line.text.size()));
        EXPECT_EQ(line.width, 10 * line.length);
        EXPECT_LE(line.width, 240);
    }
    engine.setLyricDelay(110);
    engine.setLinesShown(4, 0, 0);
    EXPECT_EQ(engine.linesShown(), 4);
    engine.resetCursor();
    engine.startClock(0);
    const std::int32_t end = engine.events().back().sampleTime + engine.lyricDelay();
    for (std::int32_t position = 0; position <= end + 4096 && engine.cursor() != nullptr;
         position += 4096) {
        engine.advanceTo(position);
    }
}

TEST(CorpusTest, EveryCorpusFileOpensAndLaysOutConsistently) {
    // Every file, not only songs: a text file must be refused like any other non-MIDI.
    const std::vector<fs::path> files = filesUnder("MELODECK_CORPUS_DIR", false);
    if (files.empty()) {
        GTEST_SKIP() << "MELODECK_CORPUS_DIR names no directory with songs";
    }
    for (const fs::path& path : files) {
        checkSong(path);
    }
}

TEST(CorpusTest, EveryKeptRegressionFileOpensAndLaysOutConsistently) {
    for (const fs::path& path : filesUnder("MELODECK_TEST_DATA", true)) {
        checkSong(path);
    }
}

}  // namespace
}  // namespace melodeck::test

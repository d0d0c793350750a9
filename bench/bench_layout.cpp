// Open + layout of a song, as the player does at each song start: a typical karaoke file
// and a synthetic song of 20,000 syllables, each with the fixed-width canvas and with the
// real lyric font on Qt.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "builtin_resources.h"
#include "byte_stream.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "notifier.h"
#include "qt_canvas.h"
#include "qt_gui_session.h"
#include "smf_writer.h"

namespace {

using namespace melodeck;

constexpr std::int32_t kAreaWidth = 240;
constexpr std::int32_t kAreaHeight = 320;

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Words of one to three syllables, a line break every seven words, a long pause every
// 500 syllables.
std::vector<std::uint8_t> syntheticSong(int syllables) {
    static const char* const kParts[] = {"sing", "a", "long", "to", "geth", "er", "mel", "o",
                                         "dy", "night", "and", "day"};
    testing::SmfWriter smf(1, 3, 480);
    smf.beginTrack().text(0, "@TSynthetic").tempo(0, 500000).endTrack();
    smf.emptyTrack();
    smf.beginTrack();
    int word = 0;
    int inWord = 0;
    for (int i = 0; i < syllables; ++i) {
        std::string text = kParts[i % 12];
        const int wordLength = 1 + word % 3;
        const bool endsWord = ++inWord == wordLength;
        if (endsWord) {
            inWord = 0;
            ++word;
            text += word % 7 == 0 ? "/" : " ";
        }
        const std::uint32_t delta = i % 500 == 499 ? 24 * 480 : 120;
        smf.text(delta, text);
    }
    smf.endTrack();
    return smf.bytes();
}

void openAndLayout(benchmark::State& state, const std::vector<std::uint8_t>& song,
                   const Canvas& canvas) {
    RecordingNotifier notifier;
    BuiltinResources resources;
    CLyrText engine(notifier);
    engine.setResourceSource(&resources);
    for (auto _ : state) {
        MemoryStream stream(song);
        engine.openSong(stream);
        engine.loadCharTable(kLanguageEnglish);
        engine.setSampleRate(22050);
        engine.layoutSong(canvas, Rect{0, 0, kAreaWidth, kAreaHeight});
        benchmark::DoNotOptimize(engine.lineCount());
    }
    state.counters["events"] = engine.eventCount();
    state.counters["lines"] = engine.lineCount();
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const QtGuiSession gui;
    QtCanvas qtCanvas(kAreaWidth, kAreaHeight);
    qtCanvas.setFont(defaultLyricFont());
    const FixedWidthCanvas fixedCanvas(9, 18);

    const std::string source = MELODECK_SOURCE_DIR;
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> songs = {
        {"demo_song", readFile(source + "/data/KaraokeFiles/Oh_Susanna.kar")},
        {"corpus_kar", readFile(source + "/../shared/corpus/fraigo__I_Want_It_That_Way.kar")},
        {"synthetic_20000", syntheticSong(20000)},
    };
    for (const auto& [name, bytes] : songs) {
        if (bytes.empty()) {
            std::fprintf(stderr, "bench_layout: no song for %s, skipped\n", name.c_str());
            continue;
        }
        benchmark::RegisterBenchmark(("OpenLayout/" + name + "/fixed_width").c_str(),
                                     [&bytes = bytes, &fixedCanvas](benchmark::State& state) {
                                         openAndLayout(state, bytes, fixedCanvas);
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("OpenLayout/" + name + "/qt_font").c_str(),
                                     [&bytes = bytes, &qtCanvas](benchmark::State& state) {
                                         openAndLayout(state, bytes, qtCanvas);
                                     })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

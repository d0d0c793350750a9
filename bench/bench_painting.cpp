// Painting the lyric display with the Qt canvas over a background picture of the screen's
// size, at a handheld-sized 480 x 640 and a desktop-sized 1920 x 1080:
//   - PagePlusSyllable: what a window repaint costs, the background copied whole, a page of
//     four lines drawn and one syllable highlighted;
//   - Syllable: what one position report costs when a syllable comes due;
//   - Background: the whole-area picture copy alone.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "lyr_text.h"
#include "notifier.h"
#include "qt_canvas.h"
#include "qt_gui_session.h"
#include "smf_writer.h"
#include "st_screen_buffer.h"

namespace {

using namespace melodeck;

// Four-syllable words, seven words to a line.
std::vector<std::uint8_t> song() {
    static const char* const kParts[] = {"sing", "a", "long", "to "};
    testing::SmfWriter smf(1, 3, 480);
    smf.beginTrack().text(0, "@TPainting").endTrack();
    smf.emptyTrack();
    smf.beginTrack();
    for (int i = 0; i < 400; ++i) {
        std::string text = kParts[i % 4];
        if (i % 28 == 27) text = "to/";
        smf.text(120, text);
    }
    smf.endTrack();
    return smf.bytes();
}

// A picture with some variety in every row, as a photograph has.
std::optional<CSTScreenBuffer> picture(std::int32_t width, std::int32_t height) {
    auto buffer = CSTScreenBuffer::create(width, height);
    if (!buffer) return buffer;
    for (std::int32_t y = 0; y < height; ++y) {
        std::span<std::uint8_t> row = buffer->mutableRow(y);
        for (std::size_t i = 0; i < row.size(); ++i) {
            row[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(y) * 3);
        }
    }
    return buffer;
}

// The display of one song on a screen of width x height, set up as the view sets it up
// and with the first page shown.
struct Display {
    Display(std::int32_t width, std::int32_t height)
        : canvas(width, height), background(picture(width, height)), engine(notifier) {
        canvas.setFont(defaultLyricFont());
        const std::vector<std::uint8_t> bytes = song();
        MemoryStream stream(bytes);
        engine.openSong(stream);
        engine.layoutSong(canvas, Rect{0, 0, width, height});
        engine.setLinesShown(4, 0, 20);
        engine.setTitleRect(Rect{0, 0, width, height});
        engine.setLyricFont(defaultLyricFont());
        engine.setSongColour(rgb(255, 255, 255));
        engine.setPlayedColour(rgb(255, 0, 255));
        engine.setHasPicture(background.has_value());
        if (background) engine.setBackground(background->view());
        engine.beginDisplay(&canvas);
        engine.restoreBackground();
        engine.showNextLine(false);
    }
    QtCanvas canvas;
    std::optional<CSTScreenBuffer> background;
    RecordingNotifier notifier;
    CLyrText engine;
};

void pagePlusSyllable(benchmark::State& state) {
    Display display(static_cast<std::int32_t>(state.range(0)),
                    static_cast<std::int32_t>(state.range(1)));
    for (auto _ : state) {
        display.engine.paintEvent(true);
        display.engine.paintEvent(false);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void syllable(benchmark::State& state) {
    Display display(static_cast<std::int32_t>(state.range(0)),
                    static_cast<std::int32_t>(state.range(1)));
    for (auto _ : state) {
        display.engine.paintEvent(false);
    }
}

void background(benchmark::State& state) {
    Display display(static_cast<std::int32_t>(state.range(0)),
                    static_cast<std::int32_t>(state.range(1)));
    for (auto _ : state) {
        display.engine.restoreBackground();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

}  // namespace

BENCHMARK(pagePlusSyllable)->Args({480, 640})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(syllable)->Args({480, 640})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(background)->Args({480, 640})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    // The canvas needs a GUI application for its fonts.
    melodeck::QtGuiSession session;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Start-up of the player to a shown window (offscreen), with a default playlist of 1,000 and
// of 10,000 songs that all exist, so each entry is opened, checked and given its title.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "c_lyr_app.h"
#include "c_main_frame.h"
#include "fluid_synth_library.h"
#include "lyr_view.h"
#include "notifier.h"
#include "sqlite_registry.h"

namespace melodeck {
namespace {

namespace fs = std::filesystem;

// A scratch folder holding `count` songs (hard links to one copy of the demo song), a
// default.m3u naming them all, and the settings file.
class StartupScene {
public:
    explicit StartupScene(int count) {
        std::string pattern = (fs::temp_directory_path() / "melodeck-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        m_root = pattern;
        const fs::path songs = m_root / "songs";
        fs::create_directories(songs);
        fs::create_directories(m_root / "data");
        const fs::path demo = fs::path(MELODECK_DATA_DIR) / "KaraokeFiles" / "Oh_Susanna.kar";
        const fs::path first = songs / "song0.kar";
        fs::copy_file(demo, first);
        std::u16string text = u"#EXTM3U\r\n";
        for (int i = 0; i < count; ++i) {
            const fs::path song = songs / ("song" + std::to_string(i) + ".kar");
            std::error_code error;
            if (i > 0) fs::create_hard_link(first, song, error);
            if (error) fs::copy_file(first, song);
            for (char c : song.string()) text.push_back(static_cast<char16_t>(c));
            text += u"\r\n";
        }
        std::ofstream out(m_root / "data" / "default.m3u", std::ios::binary);
        for (char16_t unit : text) {
            out.put(static_cast<char>(unit & 0xFF));
            out.put(static_cast<char>(unit >> 8));
        }
        setenv("MELODECK_DATA_HOME", (m_root / "data").c_str(), 1);
        setenv("MELODECK_CONFIG_DIR", (m_root / "config").c_str(), 1);
    }
    ~StartupScene() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }

    AppStartOptions options() const {
        AppStartOptions options;
        options.makeSynth = [](Notifier& notifier) {
            FluidSynthOptions synthOptions;
            synthOptions.sink = SinkKind::Silent;
            return std::make_unique<FluidSynthLibrary>(notifier, synthOptions);
        };
        options.registry = SqliteRegistry::open(m_root / "config" / "registry.sqlite3", {});
        options.paths = AppPaths{"/usr/bin/melodeck", MELODECK_DATA_DIR};
        options.notifier = std::make_unique<RecordingNotifier>();
        return options;
    }

private:
    fs::path m_root;
};

void BM_StartupToShownWindow(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const StartupScene scene(count);
    int items = 0;
    for (auto _ : state) {
        std::string error;
        std::unique_ptr<CLyrApp> app = CLyrApp::start(std::nullopt, scene.options(), error);
        if (!app) {
            state.SkipWithError(error.c_str());
            break;
        }
        QApplication::processEvents();
        items = app->view().itemCount();
        state.PauseTiming();
        app.reset();  // writes default.m3u and the settings: shutdown, not start-up
        state.ResumeTiming();
    }
    state.counters["items"] = items;
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_StartupToShownWindow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace melodeck

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

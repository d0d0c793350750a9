// The synthesizer library's speed: how many times faster than real time the fast sink renders
// the demo song, and what reading the titles of a thousand song files costs.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include "fluid_synth_library.h"
#include "notifier.h"

namespace melodeck {
namespace {

namespace fs = std::filesystem;

// Waits for the end of each song and remembers its length.
class EndListener final : public SynthListener {
public:
    void post(SynthMsg code, std::uint32_t wParam) override {
        std::lock_guard lock(m_mutex);
        if (code == SYNTH_MSG_LENGTH) m_length = wParam;
        if (code == SYNTH_MSG_FINISHED || code == SYNTH_MSG_ENDED) {
            m_ended = true;
            m_changed.notify_all();
        }
    }
    void waitForEnd() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ended; });
        m_ended = false;
    }
    std::uint32_t length() {
        std::lock_guard lock(m_mutex);
        return m_length;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ended = false;
    std::uint32_t m_length = 0;
};

std::vector<fs::path> songFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(MELODECK_CORPUS_DIR, ec)) {
        const auto ext = entry.path().extension();
        if (ext == ".kar" || ext == ".mid" || ext == ".midi") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path demoSong() {
    const fs::path demo = fs::path(MELODECK_DATA_DIR) / "KaraokeFiles" / "Oh_Susanna.kar";
    if (fs::exists(demo)) return demo;
    for (const fs::path& file : songFiles())
        if (file.extension() == ".kar") return file;
    return demo;
}

void BM_RenderDemoSongFast(benchmark::State& state) {
    RecordingNotifier notifier;
    EndListener listener;
    FluidSynthOptions options;
    options.sink = SinkKind::Fast;
    FluidSynthLibrary library(notifier, options);
    library.timid_init();
    SynthConfig config;
    library.timid_get_configuration(config);
    config.Rate = static_cast<std::int32_t>(state.range(0));
    library.timid_set_configuration(config);
    library.timid_set_parent_wnd(&listener);
    const fs::path song = demoSong();
    // The first play loads the SoundFont; it is not part of rendering.
    library.timid_play(song);
    library.timid_stop();
    listener.waitForEnd();

    for (auto _ : state) {
        library.timid_play(song);
        listener.waitForEnd();
    }
    const double songSeconds = listener.length();
    state.counters["song_s"] = songSeconds;
    // Seconds of song rendered per second of wall time: the multiple of real time.
    state.counters["x_realtime"] = benchmark::Counter(
        songSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    library.timid_set_parent_wnd(nullptr);
}
BENCHMARK(BM_RenderDemoSongFast)
    ->Arg(22050)
    ->Arg(44100)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_MidInfoThousandFiles(benchmark::State& state) {
    const std::vector<fs::path> files = songFiles();
    if (files.empty()) {
        state.SkipWithError("no song files in the corpus");
        return;
    }
    RecordingNotifier notifier;
    FluidSynthOptions options;
    options.sink = SinkKind::Fast;
    FluidSynthLibrary library(notifier, options);
    constexpr int kFiles = 1000;
    for (auto _ : state) {
        std::size_t characters = 0;
        for (int i = 0; i < kFiles; ++i)
            characters += library.timid_get_mid_info(files[i % files.size()]).size();
        benchmark::DoNotOptimize(characters);
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_MidInfoThousandFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace melodeck

BENCHMARK_MAIN();

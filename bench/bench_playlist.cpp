// Playlists of 1,000 and 10,000 songs: encoding and writing the playlist file (written
// whole to a temporary file, flushed and renamed, as every save is), reading and parsing
// it back, and loading it into a Playlist, which opens every song file to check it and
// asks the synthesizer for its title. The songs are small MIDI headers made once in a
// temporary folder; titles come from a stand-in synthesizer, so the figures are the
// playlist's own cost, without the real title reader.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "m3u.h"
#include "playlist.h"

namespace {

namespace fs = std::filesystem;

// Answers every title with the same text and ignores everything else.
class TitleOnlySynth final : public melodeck::SynthLibrary {
public:
    void timid_init() override {}
    void timid_get_configuration(melodeck::SynthConfig&) override {}
    void timid_set_configuration(const melodeck::SynthConfig&) override {}
    std::int32_t timid_get_volume() override { return melodeck::kDefaultVolume; }
    void timid_set_volume(std::int32_t) override {}
    void timid_set_parent_wnd(melodeck::SynthListener*) override {}
    std::u16string timid_get_mid_info(const fs::path&) override { return u"A song of some length"; }
    void timid_play(const fs::path&) override {}
    void timid_pause() override {}
    void timid_stop() override {}
    melodeck::SynthStatus timid_get_status() override { return melodeck::SynthStatus::Stopped; }
    void timid_set_pitch(std::int32_t) override {}
    melodeck::SynthWaveOut* timid_get_hwaveout() override { return nullptr; }
    void timid_term() override {}
};

// A temporary folder of `count` song files under names of ordinary length, with a playlist
// naming them.
class SongFolder {
public:
    explicit SongFolder(int count) {
        std::string pattern = (fs::temp_directory_path() / "melodeck-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        m_folder = pattern;
        for (int i = 0; i < count; ++i) {
            const fs::path song = m_folder / ("Artist " + std::to_string(i % 97)) /
                                  ("Song number " + std::to_string(i) + " (karaoke).kar");
            fs::create_directories(song.parent_path());
            std::ofstream(song, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14);
            m_songs.push_back(song);
        }
        melodeck::writeM3uFile(playlist(), m_songs);
    }
    SongFolder(const SongFolder&) = delete;
    SongFolder& operator=(const SongFolder&) = delete;
    ~SongFolder() {
        std::error_code ignored;
        if (!m_folder.empty()) fs::remove_all(m_folder, ignored);
    }
    const std::vector<fs::path>& songs() const { return m_songs; }
    fs::path playlist() const { return m_folder / "list.m3u"; }
    fs::path scratch() const { return m_folder / "scratch.m3u"; }

private:
    fs::path m_folder;
    std::vector<fs::path> m_songs;
};

void encodePlaylist(benchmark::State& state, const SongFolder& folder) {
    const auto& songs = folder.songs();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto encoded = melodeck::encodeM3u(songs);
        bytes = encoded.size();
        benchmark::DoNotOptimize(encoded.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folder.songs().size()));
    state.counters["KB_file"] = static_cast<double>(bytes) / 1024;
}

void writePlaylistFile(benchmark::State& state, const SongFolder& folder) {
    for (auto _ : state) {
        if (!melodeck::writeM3uFile(folder.scratch(), folder.songs())) {
            state.SkipWithError("the playlist could not be written");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folder.songs().size()));
}

void readPlaylistFile(benchmark::State& state, const SongFolder& folder) {
    for (auto _ : state) {
        const auto paths = melodeck::readM3uFile(folder.playlist());
        if (paths.size() != folder.songs().size()) {
            state.SkipWithError("the playlist did not read back");
            return;
        }
        benchmark::DoNotOptimize(paths.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folder.songs().size()));
}

void loadIntoPlaylist(benchmark::State& state, const SongFolder& folder) {
    TitleOnlySynth synth;
    for (auto _ : state) {
        melodeck::Playlist list(synth);
        list.ReadPlaylist(folder.playlist());
        if (list.count() != static_cast<std::int64_t>(folder.songs().size())) {
            state.SkipWithError("not every song was loaded");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(folder.songs().size()));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Made once, before any run, and removed when main returns.
    std::vector<std::unique_ptr<SongFolder>> folders;
    for (const int count : {1000, 10000}) {
        folders.push_back(std::make_unique<SongFolder>(count));
        const SongFolder& folder = *folders.back();
        const std::string n = "/" + std::to_string(count);
        benchmark::RegisterBenchmark(("encodePlaylist" + n).c_str(), encodePlaylist,
                                     std::cref(folder))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("writePlaylistFile" + n).c_str(), writePlaylistFile,
                                     std::cref(folder))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("readPlaylistFile" + n).c_str(), readPlaylistFile,
                                     std::cref(folder))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("loadIntoPlaylist" + n).c_str(), loadIntoPlaylist,
                                     std::cref(folder))
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// melodeck-tool play: plays a song through the synthesizer library as the player's view
// does, and prints each notification as it arrives: "NAME wParam", one per line.

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>

#include "args.h"
#include "commands.h"
#include "fluid_synth_library.h"
#include "notifier.h"

namespace melodeck::tool {
namespace {

constexpr std::int64_t kToolRate = 44100;
constexpr std::int64_t kMaxPitch = 48;
constexpr std::int64_t kMaxTempoRate = 64 * std::int64_t{kNormalPlaybackRate};

const char* messageName(SynthMsg code) {
    switch (code) {
        case SYNTH_MSG_STARTED:
            return "STARTED";
        case SYNTH_MSG_CONTROLS_ON:
            return "CONTROLS_ON";
        case SYNTH_MSG_FINISHED:
            return "FINISHED";
        case SYNTH_MSG_LENGTH:
            return "LENGTH";
        case SYNTH_MSG_POSITION:
            return "POSITION";
        case SYNTH_MSG_ENDED:
            return "ENDED";
        case SYNTH_MSG_CONTROLS_OFF:
        case SYNTH_MSG_CONTROLS_OFF_2:
            return "CONTROLS_OFF";
        case SYNTH_MSG_TICK:
            return "TICK";
        case SYNTH_MSG_SYNC:
            return "SYNC";
    }
    return "UNKNOWN";
}

// Hands notifications from the audio thread to the main thread, which prints them and acts
// on them, as the view's message queue does.
class QueueListener final : public SynthListener {
public:
    struct Note {
        SynthMsg code;
        std::uint32_t wParam;
    };
    void post(SynthMsg code, std::uint32_t wParam) override {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back({code, wParam});
        }
        m_arrived.notify_one();
    }
    Note next() {
        std::unique_lock lock(m_mutex);
        m_arrived.wait(lock, [this] { return !m_queue.empty(); });
        const Note note = m_queue.front();
        m_queue.pop_front();
        return note;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<Note> m_queue;
};

class StderrNotifier final : public Notifier {
public:
    void showMessage(std::string_view text) override {
        std::fprintf(stderr, "melodeck-tool play: %.*s\n", static_cast<int>(text.size()),
                     text.data());
    }
};

struct SinkChoice {
    SinkKind kind;
    std::filesystem::path wavPath;
};

std::optional<SinkChoice> parseSink(const Args& args) {
    const std::string_view text = args.option("sink").value_or("device");
    if (text == "device") return SinkChoice{SinkKind::Device, {}};
    if (text == "null") return SinkChoice{SinkKind::Silent, {}};
    if (text == "fast") return SinkChoice{SinkKind::Fast, {}};
    if (text.starts_with("wav:") && text.size() > 4)
        return SinkChoice{SinkKind::Wav, std::string(text.substr(4))};
    args.complain("--sink takes device, null, fast or wav:PATH, not '" + std::string(text) + "'");
    return std::nullopt;
}

}  // namespace

int runPlay(const Args& args) {
    if (!args.check(
            1, {"sink", "soundfont", "rate", "pitch", "tempo-rate", "volume", "seconds", "ticks"}))
        return 1;
    const auto sink = parseSink(args);
    const auto rate = args.integer("rate", kToolRate, 8000, 96000);
    const auto pitch = args.integer("pitch", 0, -kMaxPitch, kMaxPitch);
    const auto tempoRate = args.integer("tempo-rate", kNormalPlaybackRate, 1, kMaxTempoRate);
    const auto volume = args.integer("volume", kDefaultVolume, 0, kMaxVolume);
    const auto seconds = args.integer("seconds", -1, 0, 24 * 3600);
    if (!sink || !rate || !pitch || !tempoRate || !volume || !seconds) return 1;
    const bool printTicks = args.option("ticks").has_value();

    const std::filesystem::path song = args.positional(0);
    if (!std::ifstream(song, std::ios::binary)) {
        args.complain("File not found: " + song.string());
        return 2;
    }

    StderrNotifier notifier;
    QueueListener listener;
    FluidSynthOptions options;
    options.sink = sink->kind;
    options.wavPath = sink->wavPath;
    FluidSynthLibrary library(notifier, options);
    library.timid_init();
    SynthConfig config;
    library.timid_get_configuration(config);
    if (const auto font = args.option("soundfont")) {
        std::u16string name;
        try {
            name = std::filesystem::path(std::string(*font)).u16string();
        } catch (const std::exception&) {  // bytes that are not UTF-8
            args.complain("--soundfont needs a path in UTF-8");
            return 1;
        }
        std::fill(std::begin(config.ConfigFile), std::end(config.ConfigFile), u'\0');
        std::copy_n(name.begin(), std::min(name.size(), std::size(config.ConfigFile) - 1),
                    config.ConfigFile);
    }
    config.Rate = static_cast<std::int32_t>(*rate);
    library.timid_set_configuration(config);
    library.timid_set_volume(static_cast<std::int32_t>(*volume));
    library.timid_set_parent_wnd(&listener);
    library.playWithTone(song, static_cast<std::int32_t>(*pitch), *tempoRate);
    if (sink->kind == SinkKind::Device && library.activeSink() == SinkKind::Silent)
        args.complain("no sound device could be opened; playing silently in real time");

    const std::int64_t stopAt = *seconds >= 0 ? *seconds * *rate : -1;
    bool stopped = false;
    for (;;) {
        const auto note = listener.next();
        if (note.code != SYNTH_MSG_TICK || printTicks) {
            std::printf("%s %u\n", messageName(note.code), note.wParam);
            std::fflush(stdout);
        }
        if (note.code == SYNTH_MSG_FINISHED || note.code == SYNTH_MSG_ENDED) break;
        if (!stopped && stopAt >= 0 && note.code == SYNTH_MSG_TICK && note.wParam >= stopAt) {
            stopped = true;
            library.timid_stop();
        }
    }
    library.timid_set_parent_wnd(nullptr);
    library.timid_term();
    return 0;
}

}  // namespace melodeck::tool

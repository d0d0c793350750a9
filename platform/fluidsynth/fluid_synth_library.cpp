#include "fluid_synth_library.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "device_sink.h"
#include "fluid_log.h"
#include "mid_title.h"
#include "playback_core.h"
#include "song_timeline.h"
#include "thread_sink.h"

namespace melodeck {

namespace {

constexpr std::int32_t kMinRate = 8000;
constexpr std::int32_t kMaxRate = 96000;
constexpr std::int32_t kMaxVoices = 4096;
constexpr float kNormalGain = 0.2f;  // FluidSynth's default synth.gain
constexpr std::int32_t kNormalVolume = 100;
// Karaoke files are tens of kilobytes; anything this large is not a song.
constexpr std::uintmax_t kMaxSongBytes = 64u << 20;
// A song longer than this is a broken file (a huge delta time), not music to wait for.
constexpr std::int64_t kMaxSongSeconds = 3600;

SynthConfig defaultConfig() {
    SynthConfig config{};
    const std::u16string_view name = u"timidity.cfg";
    std::copy(name.begin(), name.end(), config.ConfigFile);
    config.Rate = 44100;
    config.Buffers = 8;
    config.Voices = 128;
    config.Stereo = 1;
    config.Antialiasing = 1;
    config.Pan = 1;
    config.Bits16 = 1;
    config.ReverbEnabled = 1;
    config.SurroundEnabled = 1;
    return config;
}

std::u16string_view configFileName(const SynthConfig& config) {
    const char16_t* begin = config.ConfigFile;
    const char16_t* end = std::find(begin, begin + std::size(config.ConfigFile), u'\0');
    return {begin, static_cast<std::size_t>(end - begin)};
}

// The fields that need a new synthesizer (and SoundFont load) when they change.
bool sameSynth(const SynthConfig& a, const SynthConfig& b) {
    return configFileName(a) == configFileName(b) && a.Rate == b.Rate && a.Voices == b.Voices;
}

// The fields that need only a new sink.
bool sameSink(const SynthConfig& a, const SynthConfig& b) {
    return a.Buffers == b.Buffers && (a.Stereo != 0) == (b.Stereo != 0);
}

std::optional<std::vector<std::uint8_t>> readSongFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxSongBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

CoreTone toneOf(const SynthConfig& config, std::int32_t volume) {
    CoreTone tone;
    tone.gain = kNormalGain * static_cast<float>(volume) / kNormalVolume;
    tone.stereo = config.Stereo != 0;
    tone.reverb = config.ReverbEnabled != 0;
    tone.chorus = config.SurroundEnabled != 0;
    tone.highQuality = config.Antialiasing != 0;
    return tone;
}

}  // namespace

// The playback rate of the song that plays; normal speed when nothing plays.
class FluidSynthLibrary::WaveOut final : public SynthWaveOut {
public:
    explicit WaveOut(FluidSynthLibrary& library) : m_library(library) {}
    std::uint32_t playbackRate() const override {
        return m_library.m_core ? m_library.m_core->playbackRate() : kNormalPlaybackRate;
    }
    void setPlaybackRate(std::int64_t rate) override {
        if (m_library.m_core) m_library.m_core->setPlaybackRate(rate);
    }

private:
    FluidSynthLibrary& m_library;
};

FluidSynthLibrary::FluidSynthLibrary(Notifier& notifier, FluidSynthOptions options)
    : m_notifier(notifier),
      m_options(std::move(options)),
      m_config(defaultConfig()),
      m_activeSink(m_options.sink),
      m_waveOut(std::make_unique<WaveOut>(*this)) {}

FluidSynthLibrary::~FluidSynthLibrary() { timid_term(); }

void FluidSynthLibrary::timid_init() { routeFluidLog(m_options.debugLog); }

void FluidSynthLibrary::setDebugLog(bool on) {
    m_options.debugLog = on;
    routeFluidLog(on);
}

void FluidSynthLibrary::setSink(SinkKind sink, const std::filesystem::path& wavPath) {
    m_options.sink = sink;
    m_options.wavPath = wavPath;
    m_activeSink = sink;
    if (!m_core) return;
    m_sink.reset();  // closes a WAV file before another one may open it
    m_sink = makeSink();
    m_core->setLatencyFrames(m_sink->latencyFrames());
    m_sink->wake();
}

void FluidSynthLibrary::timid_get_configuration(SynthConfig& config) { config = m_config; }

void FluidSynthLibrary::timid_set_configuration(const SynthConfig& config) {
    m_config = config;
    // The rate is the unit of every position the caller receives, so the record holds the
    // rate the synthesizer really runs at; a stored 0 would otherwise divide by zero.
    m_config.Rate = std::clamp(m_config.Rate, kMinRate, kMaxRate);
    if (m_core) m_core->setTone(toneOf(m_config, m_volume));
}

std::int32_t FluidSynthLibrary::timid_get_volume() { return m_volume; }

void FluidSynthLibrary::timid_set_volume(std::int32_t volume) {
    m_volume = std::clamp(volume, 0, kMaxVolume);
    if (m_core) m_core->setTone(toneOf(m_config, m_volume));
}

void FluidSynthLibrary::timid_set_parent_wnd(SynthListener* listener) { m_listener.set(listener); }

std::u16string FluidSynthLibrary::timid_get_mid_info(const std::filesystem::path& path) {
    return readMidTitle(path);
}

std::unique_ptr<AudioSink> FluidSynthLibrary::makeSink() {
    // The sink follows the configuration the core was made with, not one set since.
    const SynthConfig& config = m_builtConfig;
    const auto rate = static_cast<std::uint32_t>(config.Rate);
    switch (m_options.sink) {
        case SinkKind::Device:
            if (auto device = DeviceSink::open(*m_core, rate, config.Buffers, !m_options.debugLog,
                                               m_options.alsaDevice)) {
                m_activeSink = SinkKind::Device;
                return device;
            }
            break;
        case SinkKind::Silent:
            break;
        case SinkKind::Fast:
            m_activeSink = SinkKind::Fast;
            return ThreadSink::start(*m_core, ThreadSink::Pace::AsFastAsPossible, rate, nullptr);
        case SinkKind::Wav: {
            auto wav = WavWriter::create(m_options.wavPath, rate, config.Stereo != 0 ? 2 : 1);
            if (!wav)
                m_notifier.showMessage("Can't open file '" + m_options.wavPath.string() + "'");
            m_activeSink = wav ? SinkKind::Wav : SinkKind::Fast;
            return ThreadSink::start(*m_core, ThreadSink::Pace::AsFastAsPossible, rate,
                                     std::move(wav));
        }
    }
    m_activeSink = SinkKind::Silent;
    return ThreadSink::start(*m_core, ThreadSink::Pace::RealTime, rate, nullptr);
}

bool FluidSynthLibrary::ensureCore() {
    if (m_built && sameSynth(m_builtConfig, m_config)) {
        // A synthesizer that could not be made is not tried again (nor reported again) until
        // the configuration changes.
        if (!m_core) return false;
        const bool newSink = !sameSink(m_builtConfig, m_config);
        m_builtConfig = m_config;
        if (newSink) {
            m_sink.reset();
            m_sink = makeSink();
            m_core->setLatencyFrames(m_sink->latencyFrames());
        }
        return true;
    }
    m_sink.reset();
    m_core.reset();
    m_built = true;

    const InstrumentSetup setup =
        resolveInstrumentSetup(configFileName(m_config), m_options.search);
    std::string problem = setup.problem;
    std::vector<std::string> fonts;
    for (const auto& font : setup.soundFonts) fonts.push_back(font.string());
    const int voices = std::clamp(m_config.Voices, 1, kMaxVoices);
    m_core = PlaybackCore::create(static_cast<std::uint32_t>(m_config.Rate), voices, fonts,
                                  toneOf(m_config, m_volume), m_listener, m_waveVolume, problem);
    if (!m_core && problem.empty()) problem = "The synthesizer could not be started.";
    // One message per instrument setup: it is made again only when the configuration changes.
    if (!problem.empty()) m_notifier.showMessage(problem);
    m_builtConfig = m_config;
    if (!m_core) return false;
    m_sink = makeSink();
    m_core->setLatencyFrames(m_sink->latencyFrames());
    return true;
}

void FluidSynthLibrary::refuseSong() {
    if (ensureCore()) {
        m_core->refuse();
        m_sink->wake();
        return;
    }
    // Without a synthesizer there is no audio thread to report from; the caller still learns
    // that the song is over.
    m_listener.post(SYNTH_MSG_STARTED, 0);
    m_listener.post(SYNTH_MSG_LENGTH, 0);
    m_listener.post(SYNTH_MSG_FINISHED, 0);
}

void FluidSynthLibrary::timid_play(const std::filesystem::path& path) {
    playWithTone(path, 0, kNormalPlaybackRate);
}

void FluidSynthLibrary::playWithTone(const std::filesystem::path& path, std::int32_t pitchSteps,
                                     std::int64_t playbackRate) {
    const auto bytes = readSongFile(path);
    const auto timeline = bytes ? SongTimeline::read(*bytes) : std::nullopt;
    if (bytes && !timeline && m_refusedPaths.insert(path).second)
        m_notifier.showMessage("Can't play file '" + path.string() + "': it is not a MIDI file.");
    if (!timeline || !ensureCore()) {
        refuseSong();
        return;
    }
    const auto rate = static_cast<std::uint32_t>(m_builtConfig.Rate);
    auto song = std::make_unique<PreparedSong>();
    song->bytes = std::move(*bytes);
    song->endSample =
        std::min(timeline->samplesAt(timeline->endTick(), rate), kMaxSongSeconds * rate);
    song->lengthSeconds = static_cast<std::uint32_t>(song->endSample / rate);
    if (const auto tick = timeline->firstSyllableTick())
        song->syncSample = timeline->samplesAt(*tick, rate);
    m_core->play(std::move(song), pitchSteps, playbackRate);
    m_sink->wake();
}

void FluidSynthLibrary::timid_pause() {
    if (!m_core) return;
    m_core->pause();
    m_sink->wake();
}

void FluidSynthLibrary::timid_stop() {
    if (!m_core) return;
    m_core->stop();
    m_sink->wake();
}

SynthStatus FluidSynthLibrary::timid_get_status() {
    return m_core ? m_core->status() : SynthStatus::Stopped;
}

void FluidSynthLibrary::timid_set_pitch(std::int32_t steps) {
    if (m_core) m_core->shiftPitch(steps);
}

SynthWaveOut* FluidSynthLibrary::timid_get_hwaveout() { return m_waveOut.get(); }

void FluidSynthLibrary::timid_term() {
    m_sink.reset();
    m_core.reset();
    m_built = false;
}

}  // namespace melodeck

#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "audio_sink.h"
#include "fluid_log.h"
#include "instrument_setup.h"
#include "listener_slot.h"
#include "notifier.h"
#include "output_volume.h"
#include "synth_library.h"

namespace melodeck {

class PlaybackCore;

// Where the synthesizer's audio goes.
enum class SinkKind {
    Device,  // the sound server or ALSA; the silent real-time sink when no device opens
    Silent,  // nowhere, at real-time pace
    Fast,    // nowhere, as fast as the machine renders
    Wav,     // a WAV file, as fast as the machine renders
};

struct FluidSynthOptions {
    SinkKind sink = SinkKind::Device;
    std::filesystem::path wavPath;  // the file of SinkKind::Wav
    std::string alsaDevice;  // SinkKind::Device: only this ALSA device; empty: the usual search
    InstrumentSearch search = defaultInstrumentSearch();
    // FluidSynth's own log to stderr instead of nowhere; MELODECK_DEBUG_SYNTH=1 sets it.
    bool debugLog = fluidLogRequestedByEnvironment();
};

// The synthesizer library on FluidSynth: plays MIDI files through a General MIDI SoundFont
// and reports positions in output samples at the configured Rate.
//
// Threads: every call comes from the UI thread. Notifications reach the listener from the
// audio thread, in order, also those that a call causes (ENDED after timid_stop, the reports
// of a file that cannot be played): they follow the call, never come from inside it.
// Messages for the user go to the notifier, on the calling thread, during the call. (Only
// when FluidSynth cannot make a synthesizer at all do the reports of a refused song come
// from the calling thread.)
//
// What the record's fields mean here: Rate is the synthesizer's sample rate (taken into
// 8000..96000 Hz; the record then holds the rate in use), Voices its polyphony, Buffers the
// device's audio periods, Stereo 0 mixes to mono, Antialiasing 0 uses linear instead of
// fourth-order interpolation, ReverbEnabled and SurroundEnabled switch reverb and chorus.
// Pan, FreeInstrum, 16Bits, ThreadPriority, ReverbDelay, ReverbRate, SurroundRate and the
// library's own field have no FluidSynth counterpart: they are kept and handed back as set.
// Changes of the instrument setup, Rate or Voices (which reload the SoundFonts), Buffers or
// Stereo take effect at the next timid_play; the others and the volume at once.
//
// Each timid_play starts the song in its own key at normal speed: pitch steps and the
// playback rate apply to the song that plays.
class FluidSynthLibrary final : public SynthLibrary {
public:
    // `notifier` must outlive the library.
    FluidSynthLibrary(Notifier& notifier, FluidSynthOptions options);
    ~FluidSynthLibrary() override;
    FluidSynthLibrary(const FluidSynthLibrary&) = delete;
    FluidSynthLibrary& operator=(const FluidSynthLibrary&) = delete;

    void timid_init() override;
    void timid_get_configuration(SynthConfig& config) override;
    void timid_set_configuration(const SynthConfig& config) override;
    std::int32_t timid_get_volume() override;
    // 0..800, 100 being FluidSynth's normal loudness; values outside are taken to the bound.
    void timid_set_volume(std::int32_t volume) override;
    void timid_set_parent_wnd(SynthListener* listener) override;
    std::u16string timid_get_mid_info(const std::filesystem::path& path) override;
    // A file that cannot be read or is no MIDI file is reported as STARTED, LENGTH 0,
    // FINISHED, so the caller moves on. The notifier says once per file when it is no MIDI
    // file; a file that cannot be read is the caller's to report.
    void timid_play(const std::filesystem::path& path) override;
    // Starts `path` as timid_play does, but already shifted by `pitchSteps` semitones and at
    // `playbackRate` (16.16) from its first note.
    void playWithTone(const std::filesystem::path& path, std::int32_t pitchSteps,
                      std::int64_t playbackRate);
    void timid_pause() override;
    void timid_stop() override;
    SynthStatus timid_get_status() override;
    void timid_set_pitch(std::int32_t steps) override;
    SynthWaveOut* timid_get_hwaveout() override;
    void timid_term() override;

    // The output volume that the view's Volume commands step: a gain per channel on all the
    // library sends out, apart from the synthesizer's own volume (timid_set_volume). Full on
    // both channels at first; kept across songs, sinks and configuration changes for the
    // library's life, and applied to a playing song at once. The reference lives as long as
    // the library.
    WaveVolume& waveVolume() { return m_waveVolume; }

    // Sends the audio to `sink` from now on (to `wavPath` for SinkKind::Wav); a song that
    // plays goes on there. The synthesizer and its SoundFonts are kept.
    void setSink(SinkKind sink, const std::filesystem::path& wavPath = {});
    // Routes FluidSynth's log to stderr (true) or nowhere.
    void setDebugLog(bool on);
    // The sink in use, after a device that would not open fell back to the silent one; the
    // chosen kind until the first timid_play.
    SinkKind activeSink() const { return m_activeSink; }

private:
    class WaveOut;
    bool ensureCore();
    std::unique_ptr<AudioSink> makeSink();
    void refuseSong();

    Notifier& m_notifier;
    FluidSynthOptions m_options;
    SynthConfig m_config{};
    std::int32_t m_volume = kDefaultVolume;
    SinkKind m_activeSink;
    std::set<std::filesystem::path> m_refusedPaths;  // files already reported as no MIDI

    // The listener slot and the output volume outlive the core that posts to the one and
    // reads the other; the core outlives the sink that renders from it; the wave-out
    // control refers to the library only.
    ListenerSlot m_listener;
    OutputVolume m_waveVolume;
    std::unique_ptr<WaveOut> m_waveOut;
    SynthConfig m_builtConfig{};  // the configuration the core and sink were made with
    bool m_built = false;         // a core was made (or failed) for m_builtConfig
    std::unique_ptr<PlaybackCore> m_core;
    std::unique_ptr<AudioSink> m_sink;
};

}  // namespace melodeck

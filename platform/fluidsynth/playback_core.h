#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio_sink.h"
#include "fluid_handles.h"
#include "listener_slot.h"
#include "note_transposer.h"
#include "output_volume.h"
#include "synth_library.h"

namespace melodeck {

// A song ready to play: its bytes and what its tempo map says.
struct PreparedSong {
    std::vector<std::uint8_t> bytes;         // the whole MIDI file
    std::int64_t endSample = 0;              // end of the song, output samples at the synth's rate
    std::uint32_t lengthSeconds = 0;         // whole seconds of endSample
    std::optional<std::int64_t> syncSample;  // the first lyric syllable, if the song has one
};

// The synthesizer's settings that a running core can change.
struct CoreTone {
    float gain = 0.2f;   // FluidSynth's own default loudness
    bool stereo = true;  // false mixes both channels into one
    bool reverb = true;
    bool chorus = true;
    bool highQuality = true;  // fourth-order interpolation, else linear
};

// The synthesizer and its song player, rendered one block at a time by a sink.
//
// Threads: play/stop/pause/pitch/rate/tone calls come from the UI thread; render() comes
// from the sink's thread. One mutex serialises them, so a UI call waits at most one block.
// Every notification is posted from the sink's thread, under that mutex, in the order things
// happen: what a UI call causes (ENDED, the reports of a refused song) waits for the next
// render(), so the caller is never called back from inside its own call.
//
// Every rendered frame passes the output volume on its way to the sink.
//
// Positions are counted from rendered frames: the song position advances by
// frames x playbackRate / 65536 output samples, so it stays in song samples at the synth's
// rate whatever the tempo. Reports describe what is heard: the sink's latency is taken off.
class PlaybackCore final : public RenderSource {
public:
    // Makes the synthesizer at `rate` Hz with `voices` polyphony and loads `soundFonts`.
    // A SoundFont that fails to load is named in `problem` (the others still load); the core
    // then plays what it has, silence at worst. None only when FluidSynth cannot make a synth.
    // `listener` and `outputVolume` must outlive the core.
    static std::unique_ptr<PlaybackCore> create(std::uint32_t rate, int voices,
                                                const std::vector<std::string>& soundFonts,
                                                const CoreTone& tone, ListenerSlot& listener,
                                                const OutputVolume& outputVolume,
                                                std::string& problem);
    ~PlaybackCore() override;
    PlaybackCore(const PlaybackCore&) = delete;
    PlaybackCore& operator=(const PlaybackCore&) = delete;

    // Sets the frames a sink holds before they are heard. Call before the first play.
    void setLatencyFrames(int frames);

    // Starts `song`, replacing any song: the old one fades out over a few milliseconds (it
    // sends nothing more) and the new one starts after it, shifted by `pitchSteps`
    // semitones and at `playbackRate` (16.16; 0 or below means normal speed).
    void play(std::unique_ptr<PreparedSong> song, int pitchSteps = 0,
              std::int64_t playbackRate = kNormalPlaybackRate);
    // Ends any song as play() does, then reports a song that could not be played as one that
    // started and finished at once: STARTED, LENGTH 0, FINISHED (at the next render()).
    void refuse();
    // Toggles playing and paused; pausing fades out and then renders nothing, so the song
    // position freezes. Does nothing when stopped.
    void pause();
    // Ends the song (fading it out) and posts ENDED at the next render(); does nothing when
    // stopped.
    void stop();
    SynthStatus status() const;

    void shiftPitch(int steps);
    std::uint32_t playbackRate() const;
    // 16.16 fixed point; 0 or below is ignored; above 64x normal speed is taken as 64x.
    void setPlaybackRate(std::int64_t rate);
    void setTone(const CoreTone& tone);

    int render(float* left, float* right, int frames) override;

private:
    struct Song;
    PlaybackCore(FluidSettingsPtr settings, FluidSynthPtr synth, std::uint32_t rate,
                 ListenerSlot& listener, const OutputVolume& outputVolume);

    // Everything below runs with m_mutex held.
    void replaceSong(std::unique_ptr<PreparedSong> song, int pitchSteps, std::int64_t playbackRate);
    void applyTone();
    void announce();
    int blockFrames(int available) const;
    void synthesize(float* left, float* right, int frames);
    void advance(int frames);
    void retire();
    std::int64_t heardPosition() const;
    static int onPlayerEvent(void* data, fluid_midi_event_t* event);

    // The handles are declared before the song that holds a player, so the player goes first.
    FluidSettingsPtr m_settings;
    FluidSynthPtr m_synth;
    ListenerSlot& m_listener;
    const std::uint32_t m_rate;
    const int m_fadeFrames;
    OutputGain m_outputGain;  // used by render() only

    mutable std::mutex m_mutex;
    std::unique_ptr<Song> m_song;     // the song being heard (or fading out when m_retiring)
    std::unique_ptr<Song> m_pending;  // starts when the retiring song has faded out
    std::vector<std::pair<SynthMsg, std::uint32_t>> m_deferred;  // posted by the next render()
    bool m_retiring = false;
    bool m_paused = false;
    float m_gain = 1.0f;  // fade applied on top of the synth's gain
    SynthStatus m_status = SynthStatus::Stopped;
    std::uint32_t m_playbackRate = kNormalPlaybackRate;
    int m_latencyFrames = 0;
    CoreTone m_tone;
    NoteTransposer m_transposer;
};

}  // namespace melodeck

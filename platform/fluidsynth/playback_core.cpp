#include "playback_core.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace melodeck {

namespace {

// Song samples between two TICK reports at most; well inside the 1024 the view relies on.
constexpr std::int64_t kTickSpacing = 512;
// The largest block rendered at once, so a UI call never waits long for the lock.
constexpr int kMaxBlockFrames = 1024;
// Fades that keep stopping, pausing and replacing free of clicks.
constexpr int kFadeMillis = 10;
// How long after the tempo map's end the last notes may ring before the song counts as
// finished; a note that never receives its note-off would otherwise hold the song forever.
constexpr std::int64_t kMaxReleaseMillis = 1000;
constexpr std::uint32_t kMaxPlaybackRate = 64 * kNormalPlaybackRate;

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kSystemReset = 0xFF;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;

}  // namespace

struct PlaybackCore::Song {
    explicit Song(PreparedSong p) : prepared(std::move(p)) {}
    PreparedSong prepared;
    FluidPlayerPtr player;            // made when the song starts to sound
    std::uint64_t positionFixed = 0;  // rendered song samples, 16.16
    std::int64_t lastTick = -1;
    std::uint32_t nextSecond = 1;
    bool announced = false;
    bool syncSent = false;
    std::optional<std::int64_t> finishAt;  // render position where the last notes have died
};

std::unique_ptr<PlaybackCore> PlaybackCore::create(std::uint32_t rate, int voices,
                                                   const std::vector<std::string>& soundFonts,
                                                   const CoreTone& tone, ListenerSlot& listener,
                                                   const OutputVolume& outputVolume,
                                                   std::string& problem) {
    FluidSettingsPtr settings(new_fluid_settings());
    if (!settings) return nullptr;
    fluid_settings_setnum(settings.get(), "synth.sample-rate", rate);
    fluid_settings_setint(settings.get(), "synth.polyphony", voices);
    fluid_settings_setint(settings.get(), "synth.reverb.active", tone.reverb ? 1 : 0);
    fluid_settings_setint(settings.get(), "synth.chorus.active", tone.chorus ? 1 : 0);
    // The player must advance with rendered frames, not with the wall clock: positions are
    // counted from frames, and the fast sinks render far quicker than real time.
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
    // The core resets the synth itself when a song starts, and then sets its tone again: a
    // reset from inside the player would put the interpolation back to its default.
    fluid_settings_setint(settings.get(), "player.reset-synth", 0);
    // Locking the SoundFont's samples into memory costs seconds of page pinning at every
    // load and buys nothing for a player that is not a live instrument.
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    FluidSynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth) return nullptr;
    for (const std::string& font : soundFonts) {
        if (fluid_synth_sfload(synth.get(), font.c_str(), 1) == FLUID_FAILED && problem.empty())
            problem = "Could not load the SoundFont '" + font + "'.";
    }
    std::unique_ptr<PlaybackCore> core(
        new PlaybackCore(std::move(settings), std::move(synth), rate, listener, outputVolume));
    core->m_tone = tone;
    core->applyTone();
    return core;
}

PlaybackCore::PlaybackCore(FluidSettingsPtr settings, FluidSynthPtr synth, std::uint32_t rate,
                           ListenerSlot& listener, const OutputVolume& outputVolume)
    : m_settings(std::move(settings)),
      m_synth(std::move(synth)),
      m_listener(listener),
      m_rate(rate),
      m_fadeFrames(std::max<int>(1, static_cast<int>(rate) * kFadeMillis / 1000)),
      m_outputGain(outputVolume, m_fadeFrames) {}

PlaybackCore::~PlaybackCore() {
    std::lock_guard lock(m_mutex);
    m_pending.reset();
    if (m_song && m_song->player) fluid_player_stop(m_song->player.get());
    m_song.reset();
}

void PlaybackCore::setLatencyFrames(int frames) {
    std::lock_guard lock(m_mutex);
    m_latencyFrames = std::max(0, frames);
}

void PlaybackCore::play(std::unique_ptr<PreparedSong> song, int pitchSteps,
                        std::int64_t playbackRate) {
    std::lock_guard lock(m_mutex);
    replaceSong(std::move(song), pitchSteps, playbackRate);
    m_status = SynthStatus::Playing;
}

void PlaybackCore::refuse() {
    std::lock_guard lock(m_mutex);
    replaceSong(nullptr, 0, kNormalPlaybackRate);
    m_status = SynthStatus::Stopped;
    m_deferred.emplace_back(SYNTH_MSG_STARTED, 0);
    m_deferred.emplace_back(SYNTH_MSG_LENGTH, 0);
    m_deferred.emplace_back(SYNTH_MSG_FINISHED, 0);
}

void PlaybackCore::pause() {
    std::lock_guard lock(m_mutex);
    if (m_status == SynthStatus::Playing) {
        m_status = SynthStatus::Paused;
        m_paused = true;
    } else if (m_status == SynthStatus::Paused) {
        m_status = SynthStatus::Playing;
        m_paused = false;
    }
}

void PlaybackCore::stop() {
    std::lock_guard lock(m_mutex);
    if (m_status == SynthStatus::Stopped) return;
    m_status = SynthStatus::Stopped;
    m_pending.reset();
    if (m_song) m_retiring = true;
    m_paused = false;
    m_deferred.emplace_back(SYNTH_MSG_ENDED, 0);
}

SynthStatus PlaybackCore::status() const {
    std::lock_guard lock(m_mutex);
    return m_status;
}

void PlaybackCore::shiftPitch(int steps) {
    std::lock_guard lock(m_mutex);
    fluid_synth_t* synth = m_synth.get();
    m_transposer.shiftBy(steps, [synth](int channel, int oldKey, int newKey, int velocity) {
        if (oldKey != NoteTransposer::kSilent) fluid_synth_noteoff(synth, channel, oldKey);
        if (newKey != NoteTransposer::kSilent) fluid_synth_noteon(synth, channel, newKey, velocity);
    });
}

std::uint32_t PlaybackCore::playbackRate() const {
    std::lock_guard lock(m_mutex);
    return m_playbackRate;
}

void PlaybackCore::setPlaybackRate(std::int64_t rate) {
    if (rate <= 0) return;
    std::lock_guard lock(m_mutex);
    m_playbackRate = static_cast<std::uint32_t>(std::min<std::int64_t>(rate, kMaxPlaybackRate));
    if (m_song && !m_retiring && m_song->player)
        fluid_player_set_tempo(m_song->player.get(), FLUID_PLAYER_TEMPO_INTERNAL,
                               static_cast<double>(m_playbackRate) / kNormalPlaybackRate);
}

void PlaybackCore::setTone(const CoreTone& tone) {
    std::lock_guard lock(m_mutex);
    m_tone = tone;
    applyTone();
}

void PlaybackCore::applyTone() {
    fluid_synth_set_gain(m_synth.get(), m_tone.gain);
    fluid_synth_reverb_on(m_synth.get(), -1, m_tone.reverb ? 1 : 0);
    fluid_synth_chorus_on(m_synth.get(), -1, m_tone.chorus ? 1 : 0);
    fluid_synth_set_interp_method(m_synth.get(), -1,
                                  m_tone.highQuality ? FLUID_INTERP_DEFAULT : FLUID_INTERP_LINEAR);
}

void PlaybackCore::replaceSong(std::unique_ptr<PreparedSong> song, int pitchSteps,
                               std::int64_t playbackRate) {
    auto next = song ? std::make_unique<Song>(std::move(*song)) : nullptr;
    // Every song starts in the key and at the speed asked for, its own unless the caller says
    // otherwise; the view applies its tone and tempo presses when the display starts.
    m_transposer.reset();
    m_transposer.shiftBy(pitchSteps, [](int, int, int, int) {});
    m_playbackRate =
        playbackRate > 0
            ? static_cast<std::uint32_t>(std::min<std::int64_t>(playbackRate, kMaxPlaybackRate))
            : kNormalPlaybackRate;
    m_paused = false;
    if (m_song) {
        m_retiring = true;
        m_pending = std::move(next);
    } else {
        m_song = std::move(next);
        m_gain = 1.0f;
    }
}

int PlaybackCore::render(float* left, float* right, int frames) {
    std::lock_guard lock(m_mutex);
    for (const auto& [code, wParam] : m_deferred) m_listener.post(code, wParam);
    m_deferred.clear();
    int done = 0;
    while (done < frames) {
        if (m_retiring && m_gain <= 0.0f) {
            retire();
            continue;
        }
        if (!m_song) break;
        if (!m_retiring && m_paused && m_gain <= 0.0f) break;  // frozen until resumed
        if (!m_retiring && !m_song->announced) announce();
        int n = m_retiring ? std::min(frames - done, kMaxBlockFrames) : blockFrames(frames - done);
        // A pause freezes the song exactly where its fade-out ends.
        if (m_paused && !m_retiring)
            n = std::min(n, std::max(1, static_cast<int>(std::ceil(m_gain * m_fadeFrames))));
        synthesize(left + done, right + done, n);
        if (!m_retiring) advance(n);
        done += n;
    }
    m_outputGain.apply(left, right, done);
    std::fill(left + done, left + frames, 0.0f);
    std::fill(right + done, right + frames, 0.0f);
    return done;
}

void PlaybackCore::announce() {
    Song& song = *m_song;
    song.announced = true;
    // Programs, controllers and pitch bends of the last song must not carry over.
    fluid_synth_system_reset(m_synth.get());
    applyTone();
    song.player.reset(new_fluid_player(m_synth.get()));
    if (song.player) {
        fluid_player_t* player = song.player.get();
        fluid_player_set_playback_callback(player, &PlaybackCore::onPlayerEvent, this);
        fluid_player_add_mem(player, song.prepared.bytes.data(), song.prepared.bytes.size());
        fluid_player_set_tempo(player, FLUID_PLAYER_TEMPO_INTERNAL,
                               static_cast<double>(m_playbackRate) / kNormalPlaybackRate);
        fluid_player_play(player);
    }
    m_listener.post(SYNTH_MSG_STARTED, 0);
    m_listener.post(SYNTH_MSG_LENGTH, song.prepared.lengthSeconds);
    m_listener.post(SYNTH_MSG_TICK, 0);
    song.lastTick = 0;
    if (song.prepared.syncSample && *song.prepared.syncSample <= 0) {
        m_listener.post(SYNTH_MSG_SYNC, 0);
        song.syncSent = true;
    }
}

int PlaybackCore::blockFrames(int available) const {
    const Song& song = *m_song;
    std::int64_t n = (kTickSpacing << 16) / m_playbackRate;
    n = std::clamp<std::int64_t>(n, 1, kMaxBlockFrames);
    // End a block exactly where the first syllable is heard, so SYNC carries its position.
    if (!song.syncSent && song.prepared.syncSample) {
        const std::int64_t latency =
            (static_cast<std::int64_t>(m_latencyFrames) * m_playbackRate) >> 16;
        const std::uint64_t target = static_cast<std::uint64_t>(*song.prepared.syncSample + latency)
                                     << 16;
        if (target > song.positionFixed) {
            const std::int64_t need = static_cast<std::int64_t>(
                (target - song.positionFixed + m_playbackRate - 1) / m_playbackRate);
            n = std::min(n, std::max<std::int64_t>(1, need));
        }
    }
    return static_cast<int>(std::min<std::int64_t>(n, available));
}

void PlaybackCore::synthesize(float* left, float* right, int frames) {
    fluid_synth_write_float(m_synth.get(), frames, left, 0, 1, right, 0, 1);
    const float target = (m_retiring || m_paused) ? 0.0f : 1.0f;
    if (m_gain != 1.0f || target != 1.0f) {
        const float step = 1.0f / static_cast<float>(m_fadeFrames);
        for (int i = 0; i < frames; ++i) {
            m_gain =
                m_gain < target ? std::min(target, m_gain + step) : std::max(target, m_gain - step);
            left[i] *= m_gain;
            right[i] *= m_gain;
        }
    }
    if (!m_tone.stereo) {
        for (int i = 0; i < frames; ++i) left[i] = right[i] = 0.5f * (left[i] + right[i]);
    }
}

std::int64_t PlaybackCore::heardPosition() const {
    const std::int64_t position = static_cast<std::int64_t>(m_song->positionFixed >> 16);
    const std::int64_t queued = (static_cast<std::int64_t>(m_latencyFrames) * m_playbackRate) >> 16;
    return std::max<std::int64_t>(0, position - queued);
}

void PlaybackCore::advance(int frames) {
    Song& song = *m_song;
    song.positionFixed += static_cast<std::uint64_t>(frames) * m_playbackRate;
    const std::int64_t position = static_cast<std::int64_t>(song.positionFixed >> 16);
    const std::int64_t heard = heardPosition();

    if (heard > song.lastTick) {
        m_listener.post(SYNTH_MSG_TICK, static_cast<std::uint32_t>(heard));
        song.lastTick = heard;
    }
    if (!song.syncSent && song.prepared.syncSample && heard >= *song.prepared.syncSample) {
        m_listener.post(SYNTH_MSG_SYNC, static_cast<std::uint32_t>(heard));
        song.syncSent = true;
    }
    // Elapsed seconds stop at the song's length: the last notes' release is not song time.
    while (song.nextSecond <= song.prepared.lengthSeconds &&
           heard >= static_cast<std::int64_t>(song.nextSecond) * m_rate) {
        m_listener.post(SYNTH_MSG_POSITION, song.nextSecond);
        ++song.nextSecond;
    }
    // The song ends at its tempo map's end, once its last notes have rung out (or after a
    // short release at most): FluidSynth's own end waits for every voice, forever if a
    // note hangs.
    const std::int64_t end = song.prepared.endSample;
    if (!song.finishAt && position >= end &&
        (fluid_synth_get_active_voice_count(m_synth.get()) == 0 ||
         position >= end + kMaxReleaseMillis * m_rate / 1000))
        song.finishAt = position;
    if (song.finishAt && heard >= *song.finishAt) {
        m_listener.post(SYNTH_MSG_FINISHED, 0);
        m_status = SynthStatus::Stopped;
        m_retiring = true;
    }
}

void PlaybackCore::retire() {
    if (m_song && m_song->player) {
        fluid_player_stop(m_song->player.get());
        // Faded out already, so cutting what still sounds cannot click.
        fluid_synth_all_sounds_off(m_synth.get(), -1);
    }
    m_song = std::move(m_pending);
    m_retiring = false;
    m_gain = 1.0f;
    m_transposer.forget(-1);
}

int PlaybackCore::onPlayerEvent(void* data, fluid_midi_event_t* event) {
    // Runs inside fluid_synth_write_float, on the render thread, with m_mutex held.
    auto* self = static_cast<PlaybackCore*>(data);
    fluid_synth_t* synth = self->m_synth.get();
    const int type = fluid_midi_event_get_type(event);
    const int channel = fluid_midi_event_get_channel(event);
    switch (type) {
        case kNoteOn: {
            const int velocity = fluid_midi_event_get_velocity(event);
            if (velocity > 0) {
                const int key =
                    self->m_transposer.noteOn(channel, fluid_midi_event_get_key(event), velocity);
                if (key != NoteTransposer::kSilent)
                    fluid_synth_noteon(synth, channel, key, velocity);
                return FLUID_OK;
            }
            [[fallthrough]];
        }
        case kNoteOff: {
            const int key = self->m_transposer.noteOff(channel, fluid_midi_event_get_key(event));
            if (key != NoteTransposer::kSilent) fluid_synth_noteoff(synth, channel, key);
            return FLUID_OK;
        }
        case kControlChange: {
            const int control = fluid_midi_event_get_control(event);
            if (control == kAllSoundOff || control == kAllNotesOff)
                self->m_transposer.forget(channel);
            break;
        }
        case kSystemReset:
            self->m_transposer.forget(-1);
            break;
        default:
            break;
    }
    return fluid_synth_handle_midi_event(synth, event);
}

}  // namespace melodeck

// The synthesizer library playing real songs through FluidSynth and the default SoundFont,
// with the fast and WAV sinks: what it reports and when, what it sounds like, and how it
// copes with being stopped, paused, replaced and handed bad files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "engine/smf_builder.h"
#include "fluid_synth_library.h"
#include "support/recording_synth_listener.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

using namespace std::chrono_literals;
using test::SmfBuilder;
using Note = test::RecordingSynthListener::Note;

constexpr std::int32_t kRate = 22050;
constexpr std::uint32_t kTicksPerSecond = 960;  // division 480 at the default 120 bpm
constexpr const char16_t* kSoundFont = u"/usr/share/sounds/sf2/default-GM.sf2";

// A karaoke song: `seconds` of one held flute note (A4 unless `key`), and the words track
// with its first syllable at one second.
SmfBuilder::Bytes heldNoteSong(std::uint32_t seconds, int key = 69) {
    auto smf = SmfBuilder().header(1, 3).track().trackName("Conductor").tempo(500000).endOfTrack();
    smf.track()
        .programChange(0, 73)
        .noteOn(0, key, 100)
        .delta(seconds * kTicksPerSecond)
        .noteOn(0, key, 0)
        .endOfTrack();
    smf.track()
        .text("@TTest song")
        .delta(kTicksPerSecond)
        .text("Hel")
        .delta(480)
        .text("lo")
        .endOfTrack();
    return smf.build();
}

struct Wav {
    std::vector<std::int16_t> samples;  // interleaved
    int channels = 0;
    std::uint32_t declaredRiffBytes = 0;  // as the header says
    std::uint32_t declaredDataBytes = 0;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    double rms(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        to = std::min(to, frames());
        double sum = 0;
        for (std::size_t i = from * channels; i < to * channels; ++i)
            sum += double(samples[i]) * samples[i];
        return to > from ? std::sqrt(sum / double((to - from) * channels)) : 0.0;
    }
    // The same for one channel (0 left, 1 right).
    double channelRms(int channel, std::size_t from, std::size_t to) const {
        to = std::min(to, frames());
        double sum = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double s = samples[i * channels + channel];
            sum += s * s;
        }
        return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    }
    // The strongest period (in frames) of the left channel in [from, to), by autocorrelation.
    int period(std::size_t from, std::size_t to, int minLag, int maxLag) const {
        int best = minLag;
        double bestScore = -1e300;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double score = 0;
            for (std::size_t i = from; i + lag < to; ++i)
                score += double(samples[i * channels]) * samples[(i + lag) * channels];
            if (score > bestScore) {
                bestScore = score;
                best = lag;
            }
        }
        return best;
    }
};

Wav readWav(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Wav wav;
    if (bytes.size() < 44) return wav;
    wav.channels = static_cast<unsigned char>(bytes[22]);
    std::memcpy(&wav.declaredRiffBytes, bytes.data() + 4, 4);
    std::memcpy(&wav.declaredDataBytes, bytes.data() + 40, 4);
    wav.samples.resize((bytes.size() - 44) / 2);
    std::memcpy(wav.samples.data(), bytes.data() + 44, wav.samples.size() * 2);
    return wav;
}

SynthConfig standardConfig(SynthConfig config, const std::u16string& configFile) {
    std::fill(std::begin(config.ConfigFile), std::end(config.ConfigFile), u'\0');
    std::copy(configFile.begin(), configFile.end(), config.ConfigFile);
    config.Rate = kRate;
    config.Stereo = 1;
    config.ReverbEnabled = 0;
    config.SurroundEnabled = 0;
    return config;
}

std::unique_ptr<FluidSynthLibrary> makeLibrary(Notifier& notifier, const std::u16string& configFile,
                                               const std::filesystem::path& noDefault) {
    FluidSynthOptions options;
    options.sink = SinkKind::Fast;
    options.search.defaultSoundFont = noDefault;
    auto library = std::make_unique<FluidSynthLibrary>(notifier, options);
    library->timid_init();
    SynthConfig config;
    library->timid_get_configuration(config);
    library->timid_set_configuration(standardConfig(config, configFile));
    return library;
}

std::filesystem::path writeSong(const test::TempDir& dir, const std::string& name,
                                const SmfBuilder::Bytes& bytes) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Loading the SoundFont takes most of a second, so the tests share one library, and each
// test starts it from the same state: nothing playing, the fast sink, the standard
// configuration at normal volume, its own listener and an empty message list.
class PlaybackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_library = makeLibrary(s_notifier, kSoundFont, "/nonexistent/default.sf2");
    }
    static void TearDownTestSuite() { s_library.reset(); }
    void SetUp() override {
        library().timid_stop();
        library().setSink(SinkKind::Fast);
        SynthConfig config;
        library().timid_get_configuration(config);
        library().timid_set_configuration(standardConfig(config, kSoundFont));
        library().timid_set_volume(kDefaultVolume);
        library().waveVolume().setVolume(OutputVolume::kFull);
        library().timid_set_parent_wnd(&m_listener);
        s_notifier.clear();
    }
    void TearDown() override {
        library().timid_stop();
        library().timid_set_parent_wnd(nullptr);
    }

    static FluidSynthLibrary& library() { return *s_library; }
    static const RecordingNotifier& notifier() { return s_notifier; }
    std::filesystem::path song(const std::string& name, const SmfBuilder::Bytes& bytes) const {
        return writeSong(m_dir, name, bytes);
    }
    std::filesystem::path wavPath() const { return m_dir.path() / "out.wav"; }
    // Plays `path` to a WAV file and waits for its end.
    // `whilePaused` runs once the song has started, before its first note is heard.
    Wav render(const std::filesystem::path& path, std::int64_t playbackRate = kNormalPlaybackRate,
               int pitch = 0, const std::function<void()>& whilePaused = {}) {
        const std::size_t finished = m_listener.count(SYNTH_MSG_FINISHED);
        library().setSink(SinkKind::Wav, wavPath());
        library().timid_play(path);
        // Paused at once, so the changes below come early in the song however busy the
        // machine is; the notes already sounding take them too.
        library().timid_pause();
        if (playbackRate != kNormalPlaybackRate)
            library().timid_get_hwaveout()->setPlaybackRate(playbackRate);
        if (pitch != 0) library().timid_set_pitch(pitch);
        if (whilePaused) whilePaused();
        library().timid_pause();
        EXPECT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, finished + 1));
        library().setSink(SinkKind::Fast);  // closes the file
        return readWav(wavPath());
    }
    std::vector<Note> notesOf(SynthMsg code) const {
        std::vector<Note> out;
        for (const Note& n : m_listener.notes())
            if (n.code == code) out.push_back(n);
        return out;
    }

    static inline std::unique_ptr<FluidSynthLibrary> s_library;
    static inline RecordingNotifier s_notifier;
    test::TempDir m_dir;
    test::RecordingSynthListener m_listener;
};

TEST_F(PlaybackTest, WholeSongReportsInOrder) {
    library().timid_play(song("song.kar", heldNoteSong(3)));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED));
    std::this_thread::sleep_for(50ms);
    const auto notes = m_listener.notes();
    ASSERT_GE(notes.size(), 4u);
    EXPECT_EQ(notes[0].code, SYNTH_MSG_STARTED);
    EXPECT_EQ(notes[1].code, SYNTH_MSG_LENGTH);
    EXPECT_EQ(notes[1].wParam, 3u);
    EXPECT_EQ(notes[2].code, SYNTH_MSG_TICK);
    EXPECT_EQ(notes[2].wParam, 0u);
    EXPECT_EQ(notes.back().code, SYNTH_MSG_FINISHED);

    std::uint32_t lastTick = 0, lastSecond = 0, syncs = 0;
    for (std::size_t i = 3; i + 1 < notes.size(); ++i) {
        const Note& n = notes[i];
        if (n.code == SYNTH_MSG_TICK) {
            EXPECT_GT(n.wParam, lastTick);
            EXPECT_LE(n.wParam - lastTick, 1024u);
            lastTick = n.wParam;
        } else if (n.code == SYNTH_MSG_POSITION) {
            EXPECT_EQ(n.wParam, lastSecond + 1);
            EXPECT_GE(lastTick, n.wParam * kRate);  // reported once the second has been heard
            lastSecond = n.wParam;
        } else if (n.code == SYNTH_MSG_SYNC) {
            ++syncs;
            EXPECT_EQ(n.wParam, lastTick);
        } else {
            ADD_FAILURE() << "unexpected notification 0x" << std::hex << n.code;
        }
    }
    EXPECT_EQ(syncs, 1u);
    EXPECT_EQ(lastSecond, 3u);
    EXPECT_GE(lastTick, 3u * kRate);
    EXPECT_EQ(library().timid_get_status(), SynthStatus::Stopped);
    EXPECT_TRUE(notifier().messages().empty());
}

TEST_F(PlaybackTest, SyncCarriesTheFirstSyllablesPosition) {
    // A tempo change before the first syllable: 480 ticks at 120 bpm, 480 at 60 bpm.
    auto smf = SmfBuilder().header(1, 3).track().delta(480).tempo(1000000).delta(960).endOfTrack();
    smf.track().endOfTrack();
    smf.track().delta(960).text("Sing").endOfTrack();
    library().timid_play(song("tempo.kar", smf.build()));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED));
    const auto syncs = notesOf(SYNTH_MSG_SYNC);
    ASSERT_EQ(syncs.size(), 1u);
    EXPECT_EQ(syncs[0].wParam, std::uint32_t(kRate / 2 + kRate));
}

TEST_F(PlaybackTest, WavSinkWritesAudibleMusic) {
    const Wav wav = render(song("song.kar", heldNoteSong(2)));
    ASSERT_EQ(wav.channels, 2);
    EXPECT_GE(wav.frames(), 2u * kRate);
    EXPECT_EQ(wav.declaredDataBytes, wav.samples.size() * 2);
    EXPECT_EQ(wav.declaredRiffBytes, wav.declaredDataBytes + 36);
    EXPECT_GT(wav.rms(kRate / 2, kRate * 3 / 2), 300.0);
}

TEST_F(PlaybackTest, MonoConfigurationWritesOneChannel) {
    SynthConfig config;
    library().timid_get_configuration(config);
    config.Stereo = 0;
    library().timid_set_configuration(config);
    const Wav wav = render(song("song.kar", heldNoteSong(1)));
    EXPECT_EQ(wav.channels, 1);
    EXPECT_GT(wav.rms(kRate / 4, kRate * 3 / 4), 300.0);
}

TEST_F(PlaybackTest, PitchShiftsTheSoundingNote) {
    const auto path = song("song.kar", heldNoteSong(10));
    const Wav plain = render(path);
    m_listener.clear();
    const Wav octaveUp = render(path, kNormalPlaybackRate, 12);
    // A4 is 440 Hz: a period of about 50 frames at 22050 Hz, 25 an octave up.
    const std::size_t from = 8 * kRate, to = 8 * kRate + 4000;
    EXPECT_NEAR(plain.period(from, to, 35, 70), 50, 2);
    EXPECT_NEAR(octaveUp.period(from, to, 18, 34), 25, 2);
}

TEST_F(PlaybackTest, DoubleTempoFinishesInAboutHalfTheAudio) {
    const auto path = song("song.kar", heldNoteSong(4));
    const Wav normal = render(path);
    const auto normalLastTick = notesOf(SYNTH_MSG_TICK).back().wParam;
    m_listener.clear();
    const Wav fast = render(path, 2 * kNormalPlaybackRate);
    const double ratio = double(fast.frames()) / double(normal.frames());
    EXPECT_GT(ratio, 0.4);
    EXPECT_LT(ratio, 0.62);
    // Positions stay in song samples: both runs report the whole song.
    EXPECT_EQ(notesOf(SYNTH_MSG_LENGTH)[0].wParam, 4u);
    EXPECT_GE(notesOf(SYNTH_MSG_TICK).back().wParam, 4u * kRate);
    EXPECT_GE(normalLastTick, 4u * kRate);
    EXPECT_EQ(notesOf(SYNTH_MSG_POSITION).size(), 4u);
}

TEST_F(PlaybackTest, StopEndsWithEndedAndNothingAfter) {
    library().setSink(SinkKind::Silent);
    library().timid_play(song("song.kar", heldNoteSong(30)));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_TICK, 2));
    library().timid_stop();
    EXPECT_EQ(library().timid_get_status(), SynthStatus::Stopped);
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_ENDED));
    std::this_thread::sleep_for(100ms);
    const auto notes = m_listener.notes();
    EXPECT_EQ(notes.back().code, SYNTH_MSG_ENDED);
    // Nothing is posted from inside the caller's own call.
    for (const Note& n : notes) EXPECT_NE(n.thread, std::this_thread::get_id());
    EXPECT_EQ(m_listener.count(SYNTH_MSG_ENDED), 1u);
    EXPECT_EQ(m_listener.count(SYNTH_MSG_FINISHED), 0u);
    library().timid_stop();  // nothing plays: nothing more to report
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_listener.count(SYNTH_MSG_ENDED), 1u);
}

TEST_F(PlaybackTest, PauseFreezesThePositionUntilResumed) {
    library().setSink(SinkKind::Silent);
    library().timid_play(song("song.kar", heldNoteSong(30)));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_TICK, 3));
    library().timid_pause();
    EXPECT_EQ(library().timid_get_status(), SynthStatus::Paused);
    std::this_thread::sleep_for(200ms);  // the fade-out ends within 10 ms of song time
    const std::size_t frozen = m_listener.notes().size();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(m_listener.notes().size(), frozen);

    library().timid_pause();
    EXPECT_EQ(library().timid_get_status(), SynthStatus::Playing);
    EXPECT_TRUE(m_listener.waitFor(SYNTH_MSG_TICK, m_listener.count(SYNTH_MSG_TICK) + 2));
    library().timid_pause();
    library().timid_stop();  // from paused, as the view does it
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_ENDED));
    EXPECT_EQ(m_listener.notes().back().code, SYNTH_MSG_ENDED);
}

TEST_F(PlaybackTest, ReplacingASongStartsTheNewOneAfresh) {
    library().setSink(SinkKind::Silent);
    const auto longSong = song("long.kar", heldNoteSong(30));
    const auto shortSong = song("short.kar", heldNoteSong(1));
    library().timid_play(longSong);
    ASSERT_TRUE(m_listener.waitForAtLeast(SYNTH_MSG_TICK, kRate / 10));
    library().timid_set_pitch(3);
    library().timid_get_hwaveout()->setPlaybackRate(kNormalPlaybackRate + 1024);
    library().timid_play(shortSong);
    EXPECT_EQ(library().timid_get_hwaveout()->playbackRate(), kNormalPlaybackRate);
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, 1, 10s));

    const auto notes = m_listener.notes();
    std::size_t secondStart = 0;
    for (std::size_t i = 1; i < notes.size(); ++i)
        if (notes[i].code == SYNTH_MSG_STARTED) secondStart = i;
    ASSERT_GT(secondStart, 0u);
    EXPECT_EQ(notes[secondStart + 1].code, SYNTH_MSG_LENGTH);
    EXPECT_EQ(notes[secondStart + 1].wParam, 1u);
    EXPECT_EQ(notes[secondStart + 2].wParam, 0u);  // TICK 0 of the new song
    EXPECT_EQ(m_listener.count(SYNTH_MSG_ENDED), 0u);
    EXPECT_EQ(m_listener.count(SYNTH_MSG_FINISHED), 1u);
}

TEST_F(PlaybackTest, RapidCallsFromAnyStateNeverHang) {
    const auto a = song("a.kar", heldNoteSong(2));
    const auto b = song("b.kar", heldNoteSong(1, 60));
    for (int i = 0; i < 30; ++i) {
        library().timid_play(i % 2 ? a : b);
        if (i % 3 == 0) library().timid_pause();
        if (i % 5 == 0) library().timid_set_pitch(i % 7 - 3);
        if (i % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(i % 3));
        if (i % 6 == 0) library().timid_stop();
    }
    library().timid_play(b);
    for (int wait = 0; wait < 400 && library().timid_get_status() != SynthStatus::Stopped; ++wait)
        std::this_thread::sleep_for(50ms);
    ASSERT_EQ(library().timid_get_status(), SynthStatus::Stopped);
    EXPECT_EQ(m_listener.notes().back().code, SYNTH_MSG_FINISHED);
}

TEST_F(PlaybackTest, FileThatIsNoMidiIsReportedOnceAndFinishes) {
    const auto path = song("notes.kar", {'H', 'e', 'l', 'l', 'o', '\n'});
    library().timid_play(path);
    library().timid_play(path);
    ASSERT_EQ(notifier().messages().size(), 1u);
    EXPECT_NE(notifier().messages()[0].find("notes.kar"), std::string::npos);
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, 2));
    const auto notes = m_listener.notes();
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0].code, SYNTH_MSG_STARTED);
    EXPECT_EQ(notes[1].code, SYNTH_MSG_LENGTH);
    EXPECT_EQ(notes[2].code, SYNTH_MSG_FINISHED);
    EXPECT_EQ(library().timid_get_status(), SynthStatus::Stopped);

    // A missing file is the caller's to report; it finishes all the same.
    library().timid_play(m_dir.path() / "missing.kar");
    EXPECT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, 3));
    EXPECT_EQ(notifier().messages().size(), 1u);
}

TEST_F(PlaybackTest, DamagedSongsPlayAsFarAsTheyGoAndFinish) {
    const auto whole = heldNoteSong(1);
    auto garbled = whole;
    for (std::size_t i = 30; i < garbled.size(); i += 7) garbled[i] ^= 0xA5;
    const SmfBuilder::Bytes cut(whole.begin(), whole.begin() + whole.size() / 2);
    library().timid_play(song("garbled.kar", garbled));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, 1));
    library().timid_play(song("cut.kar", cut));
    ASSERT_TRUE(m_listener.waitFor(SYNTH_MSG_FINISHED, 2));
    EXPECT_TRUE(notifier().messages().empty());
}

TEST_F(PlaybackTest, VolumeScalesLoudnessAndConfigurationKeepsUnusedFields) {
    SynthConfig config;
    library().timid_get_configuration(config);
    config.ReverbDelay = 1234;
    config.LibraryOwn = 77;
    config.Rate = 0;
    library().timid_set_configuration(config);
    SynthConfig back;
    library().timid_get_configuration(back);
    EXPECT_EQ(back.ReverbDelay, 1234);
    EXPECT_EQ(back.LibraryOwn, 77);
    EXPECT_EQ(back.Rate, 8000);  // positions are counted at the rate really used
    library().timid_set_volume(900);
    EXPECT_EQ(library().timid_get_volume(), kMaxVolume);
    library().timid_set_volume(-3);
    EXPECT_EQ(library().timid_get_volume(), 0);
}

TEST_F(PlaybackTest, LouderVolumeGivesLouderAudio) {
    const auto path = song("song.kar", heldNoteSong(1));
    const auto loudness = [&](std::int32_t volume) {
        library().timid_set_volume(volume);
        return render(path).rms(kRate / 4, kRate * 3 / 4);
    };
    const double normal = loudness(100);
    EXPECT_NEAR(loudness(200) / normal, 2.0, 0.1);
    EXPECT_EQ(loudness(0), 0.0);
}

// Left in the low 16 bits, right in the high 16 bits.
constexpr std::uint32_t waveVolume(std::uint32_t left, std::uint32_t right) {
    return left | (right << 16);
}

TEST_F(PlaybackTest, WaveVolumeScalesEachChannelApartFromTheSynthVolume) {
    const auto path = song("song.kar", heldNoteSong(1));
    const std::size_t from = kRate / 4, to = kRate * 3 / 4;
    const Wav full = render(path);
    const double left = full.channelRms(0, from, to), right = full.channelRms(1, from, to);
    ASSERT_GT(left, 300.0);
    ASSERT_GT(right, 300.0);

    library().waveVolume().setVolume(waveVolume(0, 0x8000));
    const Wav muted = render(path);
    EXPECT_EQ(muted.channelRms(0, from, to), 0.0);
    EXPECT_NEAR(muted.channelRms(1, from, to) / right, 0.5, 0.05);

    // The synthesizer's own volume doubles both channels and leaves the output volume be.
    library().waveVolume().setVolume(waveVolume(0x8000, 0xFFFF));
    library().timid_set_volume(2 * kDefaultVolume);
    const Wav both = render(path);
    EXPECT_EQ(library().waveVolume().volume(), waveVolume(0x8000, 0xFFFF));
    EXPECT_EQ(library().timid_get_volume(), 2 * kDefaultVolume);
    EXPECT_NEAR(both.channelRms(0, from, to) / left, 1.0, 0.1);
    EXPECT_NEAR(both.channelRms(1, from, to) / right, 2.0, 0.2);
}

TEST_F(PlaybackTest, WaveVolumeReachesTheSongThatPlaysAndOutlivesANewSynthesizer) {
    const auto path = song("song.kar", heldNoteSong(1));
    const std::size_t from = kRate / 4, to = kRate * 3 / 4;
    const Wav changed = render(path, kNormalPlaybackRate, 0,
                               [&] { library().waveVolume().setVolume(waveVolume(0xFFFF, 0)); });
    EXPECT_GT(changed.channelRms(0, from, to), 300.0);
    EXPECT_EQ(changed.channelRms(1, from, to), 0.0);

    // A new rate makes a new synthesizer; the setting stays with the library.
    SynthConfig config;
    library().timid_get_configuration(config);
    config.Rate = 11025;
    library().timid_set_configuration(config);
    const Wav rebuilt = render(path);
    EXPECT_GT(rebuilt.channelRms(0, from / 2, to / 2), 300.0);
    EXPECT_EQ(rebuilt.channelRms(1, from / 2, to / 2), 0.0);
}

TEST(PlaybackWithoutSoundFont, IsReportedOnceAndPlaysSilently) {
    test::TempDir dir;
    RecordingNotifier notifier;
    test::RecordingSynthListener listener;
    auto library = makeLibrary(notifier, u"/nowhere/lost.sf2", dir.path() / "no-default.sf2");
    library->timid_set_parent_wnd(&listener);
    library->setSink(SinkKind::Wav, dir.path() / "out.wav");
    const auto path = writeSong(dir, "song.kar", heldNoteSong(1));
    library->timid_play(path);
    ASSERT_TRUE(listener.waitFor(SYNTH_MSG_FINISHED));
    library->timid_play(path);
    ASSERT_TRUE(listener.waitFor(SYNTH_MSG_FINISHED, 2));
    ASSERT_EQ(notifier.messages().size(), 1u);
    EXPECT_NE(notifier.messages()[0].find("/nowhere/lost.sf2"), std::string::npos);
    library->timid_term();
    const Wav wav = readWav(dir.path() / "out.wav");
    EXPECT_GE(wav.frames(), 2u * kRate);
    EXPECT_EQ(wav.rms(), 0.0);
}

// ALSA's "null" device takes audio through FluidSynth's driver with no clock at all, so the
// device path (the driver's thread, the queued periods) runs here at full speed: the reports
// must still describe what is heard, the queue taken off.
TEST(PlaybackOnDevice, ReportsWhatIsHeardThroughTheDriver) {
    test::TempDir dir;
    RecordingNotifier notifier;
    test::RecordingSynthListener listener;
    FluidSynthOptions options;
    options.sink = SinkKind::Device;
    options.alsaDevice = "null";
    options.search.defaultSoundFont = dir.path() / "none.sf2";
    FluidSynthLibrary library(notifier, options);
    library.timid_init();
    SynthConfig config;
    library.timid_get_configuration(config);
    library.timid_set_configuration(standardConfig(config, u"/nowhere/lost.sf2"));
    library.timid_set_parent_wnd(&listener);
    library.timid_play(writeSong(dir, "song.kar", heldNoteSong(2)));
    if (library.activeSink() != SinkKind::Device)
        GTEST_SKIP() << "ALSA's null device is not available";
    ASSERT_TRUE(listener.waitFor(SYNTH_MSG_FINISHED));
    library.timid_set_parent_wnd(nullptr);

    const auto notes = listener.notes();
    std::uint32_t lastTick = 0;
    for (const Note& n : notes) {
        if (n.code == SYNTH_MSG_TICK) {
            EXPECT_GE(n.wParam, lastTick);
            EXPECT_LE(n.wParam - lastTick, 1024u);
            lastTick = n.wParam;
        }
        if (n.code == SYNTH_MSG_SYNC) {
            EXPECT_EQ(n.wParam, std::uint32_t(kRate));
        }
    }
    EXPECT_GE(lastTick, 2u * kRate);
    EXPECT_EQ(notes.back().code, SYNTH_MSG_FINISHED);
    EXPECT_EQ(listener.count(SYNTH_MSG_SYNC), 1u);
}

// FluidSynth reads the song itself when it starts to play it: damaged songs must not crash it
// or hold the player. Without a SoundFont the run is quick; a song that a damaged delta time
// has made hours long is stopped after two seconds of song time.
TEST(PlaybackWithoutSoundFont, DamagedSongsNeverCrashOrHang) {
    test::TempDir dir;
    RecordingNotifier notifier;
    test::RecordingSynthListener listener;
    auto library = makeLibrary(notifier, u"/nowhere/lost.sf2", dir.path() / "no-default.sf2");
    library->timid_set_parent_wnd(&listener);
    auto smf =
        SmfBuilder().header(1, 3).track().tempo(400000).sysex("\x7E\x7F\x09\x01\xF7").endOfTrack();
    smf.track().programChange(0, 5).noteOn(0, 60, 90).delta(240).running({62, 90}).delta(240);
    smf.event({0xB0, 7, 100}).event({0xE0, 0, 64}).noteOn(0, 60, 0).running({62, 0}).endOfTrack();
    smf.track().text("@TT").delta(10).text("la").endOfTrack();
    const auto song = smf.build();
    std::mt19937 random(11);
    for (int round = 0; round < 40; ++round) {
        auto bytes = song;
        for (int flips = 0; flips < 3; ++flips)
            bytes[14 + random() % (bytes.size() - 14)] = static_cast<std::uint8_t>(random());
        if (round % 4 == 0) bytes.resize(14 + random() % (bytes.size() - 14));
        listener.clear();
        library->timid_play(writeSong(dir, "damaged.mid", bytes));
        const bool over = listener.waitFor(SYNTH_MSG_FINISHED, 1, 200ms) ||
                          listener.waitForAtLeast(SYNTH_MSG_TICK, 2 * kRate, 5s);
        EXPECT_TRUE(over) << "round " << round;
        library->timid_stop();
        for (int wait = 0;
             wait < 200 &&
             listener.count(SYNTH_MSG_FINISHED) + listener.count(SYNTH_MSG_ENDED) == 0;
             ++wait)
            std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(library->timid_get_status(), SynthStatus::Stopped);
}

}  // namespace
}  // namespace melodeck

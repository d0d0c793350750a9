// What callers may rely on from any synthesizer library, checked on the FluidSynth library
// and on the scripted fake that stands in for it in the view's tests, so the two cannot
// drift apart.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

#include "engine/smf_builder.h"
#include "fluid_synth_library.h"
#include "support/fake_synth_library.h"
#include "support/recording_synth_listener.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

using namespace std::chrono_literals;

// Counts notifications that arrive on the caller's thread while the caller is inside a call.
class ReentryCheck final : public SynthListener {
public:
    explicit ReentryCheck(SynthListener& next) : m_next(next) {}
    void post(SynthMsg code, std::uint32_t wParam) override {
        if (m_inCall && std::this_thread::get_id() == m_caller) ++m_reentries;
        m_next.post(code, wParam);
    }
    template <class F>
    void call(F&& f) {
        m_inCall = true;
        f();
        m_inCall = false;
    }
    int reentries() const { return m_reentries; }

private:
    SynthListener& m_next;
    const std::thread::id m_caller = std::this_thread::get_id();
    std::atomic<bool> m_inCall = false;
    std::atomic<int> m_reentries = 0;
};

struct FakeHarness {
    test::FakeSynthLibrary library;
    std::filesystem::path song(const test::TempDir& dir) { return dir.path() / "any.kar"; }
    // Lets what the calls caused arrive, as the UI thread's queue would.
    void settle() { library.deliverPending(); }
};

struct FluidHarness {
    FluidHarness() : library(notifier, options()) {
        library.timid_init();
        SynthConfig config;
        library.timid_get_configuration(config);
        // No SoundFont: the contract does not depend on sound, and loading one is slow.
        const std::u16string none = u"/nonexistent/none.sf2";
        std::fill(std::begin(config.ConfigFile), std::end(config.ConfigFile), u'\0');
        std::copy(none.begin(), none.end(), config.ConfigFile);
        config.Rate = 22050;
        library.timid_set_configuration(config);
    }
    static FluidSynthOptions options() {
        FluidSynthOptions o;
        o.sink = SinkKind::Silent;  // real time, so the song outlasts the test
        o.search.defaultSoundFont = "/nonexistent/default.sf2";
        return o;
    }
    std::filesystem::path song(const test::TempDir& dir) {
        const auto bytes = test::SmfBuilder()
                               .header(0, 1)
                               .track()
                               .noteOn(0, 60, 90)
                               .delta(30 * 960)
                               .noteOn(0, 60, 0)
                               .endOfTrack()
                               .build();
        const auto path = dir.path() / "long.mid";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    void settle() {}

    RecordingNotifier notifier;
    FluidSynthLibrary library;
};

template <class Harness>
class SynthContractTest : public ::testing::Test {
protected:
    void SetUp() override { library().timid_set_parent_wnd(&m_check); }
    void TearDown() override { library().timid_set_parent_wnd(nullptr); }
    SynthLibrary& library() { return m_harness.library; }
    template <class F>
    void call(F&& f) {
        m_check.call(std::forward<F>(f));
    }

    test::TempDir m_dir;
    Harness m_harness;
    test::RecordingSynthListener m_listener;
    ReentryCheck m_check{m_listener};
};

using Harnesses = ::testing::Types<FakeHarness, FluidHarness>;
TYPED_TEST_SUITE(SynthContractTest, Harnesses);

TYPED_TEST(SynthContractTest, StatusFollowsPlayPauseAndStop) {
    const auto song = this->m_harness.song(this->m_dir);
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Stopped);
    this->call([&] { this->library().timid_pause(); });  // nothing to pause
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Stopped);
    this->call([&] { this->library().timid_play(song); });
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Playing);
    this->call([&] { this->library().timid_pause(); });
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Paused);
    this->call([&] { this->library().timid_pause(); });
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Playing);
    this->call([&] { this->library().timid_pause(); });
    this->call([&] { this->library().timid_stop(); });
    EXPECT_EQ(this->library().timid_get_status(), SynthStatus::Stopped);
}

TYPED_TEST(SynthContractTest, StopReportsEndedOnceAfterTheCall) {
    const auto song = this->m_harness.song(this->m_dir);
    this->call([&] { this->library().timid_stop(); });  // idle: nothing ends
    this->m_harness.settle();
    this->call([&] { this->library().timid_play(song); });
    this->call([&] { this->library().timid_stop(); });
    this->call([&] { this->library().timid_stop(); });
    this->m_harness.settle();
    EXPECT_TRUE(this->m_listener.waitFor(SYNTH_MSG_ENDED));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(this->m_listener.count(SYNTH_MSG_ENDED), 1u);
    EXPECT_EQ(this->m_listener.count(SYNTH_MSG_FINISHED), 0u);
    EXPECT_EQ(this->m_check.reentries(), 0);
}

TYPED_TEST(SynthContractTest, EachSongStartsAtNormalSpeedAndNonPositiveRatesAreIgnored) {
    const auto song = this->m_harness.song(this->m_dir);
    SynthWaveOut* waveOut = this->library().timid_get_hwaveout();
    ASSERT_NE(waveOut, nullptr);
    this->library().timid_play(song);
    EXPECT_EQ(waveOut->playbackRate(), kNormalPlaybackRate);
    waveOut->setPlaybackRate(kNormalPlaybackRate + 3 * 1024);
    waveOut->setPlaybackRate(0);
    waveOut->setPlaybackRate(-1024);
    EXPECT_EQ(waveOut->playbackRate(), kNormalPlaybackRate + 3 * 1024);
    this->library().timid_play(song);
    EXPECT_EQ(waveOut->playbackRate(), kNormalPlaybackRate);
    this->library().timid_stop();
}

TYPED_TEST(SynthContractTest, ConfigurationAndVolumeComeBackAsSet) {
    SynthConfig config;
    this->library().timid_get_configuration(config);
    config.Voices = 64;
    config.Pan = 0;
    config.SurroundRate = 9;
    this->library().timid_set_configuration(config);
    this->library().timid_set_volume(350);
    SynthConfig back;
    this->library().timid_get_configuration(back);
    EXPECT_EQ(std::memcmp(&back, &config, sizeof config), 0);
    EXPECT_EQ(this->library().timid_get_volume(), 350);
}

}  // namespace
}  // namespace melodeck

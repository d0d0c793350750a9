#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "synth_library.h"

namespace melodeck::test {

// A scripted synthesizer library for tests of its callers: it records every call, keeps the
// state the calls imply (configuration, volume, status, pitch, playback rate), answers titles
// from a table, and sends notifications to the listener the caller registered only when the
// test says so. Like the real library it never notifies from inside a call: what a call
// causes (ENDED after timid_stop) waits until the test calls deliverPending(), as a real
// notification waits in the UI thread's queue. Single-threaded.
class FakeSynthLibrary final : public SynthLibrary {
public:
    FakeSynthLibrary() {
        const std::u16string_view name = u"timidity.cfg";
        std::copy(name.begin(), name.end(), m_config.ConfigFile);
        m_config.Rate = 22050;
        m_config.Buffers = 8;
        m_config.Voices = 32;
        m_config.Stereo = 1;
        m_config.Antialiasing = 1;
    }

    // ---- Script ----------------------------------------------------------------------
    void setTitle(const std::filesystem::path& path, std::u16string title) {
        m_titles[path] = std::move(title);
    }
    // Sends a notification to the registered listener, if any.
    void emit(SynthMsg code, std::uint32_t wParam = 0) {
        if (m_listener) m_listener->post(code, wParam);
    }
    // Sends what earlier calls caused, in order.
    void deliverPending() {
        const auto pending = std::move(m_pending);
        m_pending.clear();
        for (const auto& [code, wParam] : pending) emit(code, wParam);
    }
    // The song's whole life in one go: STARTED, LENGTH, TICK 0, SYNC, POSITIONs, FINISHED.
    void emitSong(std::uint32_t lengthSeconds, std::uint32_t syncSample, std::uint32_t rate) {
        emit(SYNTH_MSG_STARTED);
        emit(SYNTH_MSG_LENGTH, lengthSeconds);
        emit(SYNTH_MSG_TICK, 0);
        emit(SYNTH_MSG_SYNC, syncSample);
        for (std::uint32_t s = 1; s <= lengthSeconds; ++s) {
            emit(SYNTH_MSG_TICK, s * rate);
            emit(SYNTH_MSG_POSITION, s);
        }
        m_status = SynthStatus::Stopped;
        emit(SYNTH_MSG_FINISHED);
    }

    // ---- What the caller did ---------------------------------------------------------
    const std::vector<std::string>& calls() const { return m_calls; }
    const std::vector<std::filesystem::path>& played() const { return m_played; }
    std::int32_t pitch() const { return m_pitch; }
    SynthListener* listener() const { return m_listener; }
    bool initialized() const { return m_initialized; }

    // ---- SynthLibrary ----------------------------------------------------------------
    void timid_init() override {
        m_calls.push_back("timid_init");
        m_initialized = true;
    }
    void timid_get_configuration(SynthConfig& config) override {
        m_calls.push_back("timid_get_configuration");
        config = m_config;
    }
    void timid_set_configuration(const SynthConfig& config) override {
        m_calls.push_back("timid_set_configuration");
        m_config = config;
    }
    std::int32_t timid_get_volume() override {
        m_calls.push_back("timid_get_volume");
        return m_volume;
    }
    void timid_set_volume(std::int32_t volume) override {
        m_calls.push_back("timid_set_volume " + std::to_string(volume));
        m_volume = volume;
    }
    void timid_set_parent_wnd(SynthListener* listener) override {
        m_calls.push_back("timid_set_parent_wnd");
        m_listener = listener;
    }
    std::u16string timid_get_mid_info(const std::filesystem::path& path) override {
        m_calls.push_back("timid_get_mid_info " + path.string());
        const auto it = m_titles.find(path);
        return it == m_titles.end() ? std::u16string{} : it->second;
    }
    void timid_play(const std::filesystem::path& path) override {
        m_calls.push_back("timid_play " + path.string());
        m_played.push_back(path);
        m_status = SynthStatus::Playing;
        m_pitch = 0;
        m_waveOut.rate = kNormalPlaybackRate;
    }
    void timid_pause() override {
        m_calls.push_back("timid_pause");
        if (m_status == SynthStatus::Playing)
            m_status = SynthStatus::Paused;
        else if (m_status == SynthStatus::Paused)
            m_status = SynthStatus::Playing;
    }
    void timid_stop() override {
        m_calls.push_back("timid_stop");
        if (m_status == SynthStatus::Stopped) return;
        m_status = SynthStatus::Stopped;
        m_pending.emplace_back(SYNTH_MSG_ENDED, 0);
    }
    SynthStatus timid_get_status() override { return m_status; }
    void timid_set_pitch(std::int32_t steps) override {
        m_calls.push_back("timid_set_pitch " + std::to_string(steps));
        m_pitch += steps;
    }
    SynthWaveOut* timid_get_hwaveout() override { return &m_waveOut; }
    void timid_term() override {
        m_calls.push_back("timid_term");
        m_status = SynthStatus::Stopped;
    }

    SynthConfig& config() { return m_config; }
    void setStatus(SynthStatus status) { m_status = status; }

private:
    struct WaveOut final : SynthWaveOut {
        std::uint32_t playbackRate() const override { return rate; }
        void setPlaybackRate(std::int64_t r) override {
            if (r > 0) rate = static_cast<std::uint32_t>(r);
        }
        std::uint32_t rate = kNormalPlaybackRate;
    };

    SynthConfig m_config{};
    std::int32_t m_volume = kDefaultVolume;
    SynthStatus m_status = SynthStatus::Stopped;
    std::int32_t m_pitch = 0;
    SynthListener* m_listener = nullptr;
    bool m_initialized = false;
    WaveOut m_waveOut;
    std::map<std::filesystem::path, std::u16string> m_titles;
    std::vector<std::string> m_calls;
    std::vector<std::filesystem::path> m_played;
    std::vector<std::pair<SynthMsg, std::uint32_t>> m_pending;
};

}  // namespace melodeck::test

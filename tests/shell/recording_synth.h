#pragma once

#include <string>
#include <vector>

#include "synth_library.h"

namespace melodeck::test {

// What a RecordingSynth saw; kept by the test so it outlives the library object.
struct SynthLog {
    std::vector<std::string> calls;
    SynthConfig config{};  // the library's current configuration
    std::int32_t volume = 55;
    std::vector<SynthConfig> configsSet;
    std::vector<std::int32_t> volumesSet;
};

// The library's own configuration: deliberately unlike anything the store supplies.
inline SynthConfig libraryOwnConfig() {
    SynthConfig config{};
    const std::u16string path = u"/lib/own.sf2";
    path.copy(config.ConfigFile, path.size());
    config.ConfigFile[100] = u'~';  // bytes after the terminator travel with the field
    config.Rate = 22050;
    config.Buffers = 8;
    config.Voices = 32;
    config.LibraryOwn = 77;
    config.Stereo = 1;
    config.Antialiasing = 0;
    config.Pan = 1;
    config.FreeInstrum = 1;
    config.Bits16 = 1;
    config.ThreadPriority = 251;
    config.ReverbEnabled = 1;
    config.ReverbDelay = 3;
    config.ReverbRate = 4;
    config.SurroundEnabled = 1;
    config.SurroundRate = 5;
    return config;
}

// A synthesizer library that plays nothing and records the calls the document makes.
class RecordingSynth final : public SynthLibrary {
public:
    explicit RecordingSynth(SynthLog& log) : m_log(log) { m_log.config = libraryOwnConfig(); }

    void timid_init() override { m_log.calls.push_back("init"); }
    void timid_get_configuration(SynthConfig& config) override {
        m_log.calls.push_back("get_configuration");
        config = m_log.config;
    }
    void timid_set_configuration(const SynthConfig& config) override {
        m_log.calls.push_back("set_configuration");
        m_log.config = config;
        m_log.configsSet.push_back(config);
    }
    std::int32_t timid_get_volume() override {
        m_log.calls.push_back("get_volume");
        return m_log.volume;
    }
    void timid_set_volume(std::int32_t volume) override {
        m_log.calls.push_back("set_volume");
        m_log.volume = volume;
        m_log.volumesSet.push_back(volume);
    }
    void timid_set_parent_wnd(SynthListener*) override {}
    std::u16string timid_get_mid_info(const std::filesystem::path&) override { return {}; }
    void timid_play(const std::filesystem::path&) override {}
    void timid_pause() override {}
    void timid_stop() override {}
    SynthStatus timid_get_status() override { return SynthStatus::Stopped; }
    void timid_set_pitch(std::int32_t) override {}
    SynthWaveOut* timid_get_hwaveout() override { return nullptr; }
    void timid_term() override { m_log.calls.push_back("term"); }

private:
    SynthLog& m_log;
};

}  // namespace melodeck::test

#include "device_sink.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include <alsa/asoundlib.h>

namespace melodeck {

namespace {

constexpr int kPeriodFrames = 512;
constexpr int kMinPeriods = 2;
constexpr int kMaxPeriods = 64;
constexpr const char* kDrivers[] = {"pulseaudio", "alsa"};

// ALSA's library prints its errors itself, whatever FluidSynth's log does.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

std::unique_ptr<DeviceSink> DeviceSink::open(RenderSource& source, std::uint32_t rate, int periods,
                                             bool quiet, const std::string& alsaDevice) {
    // Like FluidSynth's log function, ALSA's error handler is one per process; a program
    // that plays sound has one policy for it, set here before a device is tried.
    snd_lib_error_set_handler(quiet ? ignoreAlsaError : nullptr);
    periods = std::clamp(periods, kMinPeriods, kMaxPeriods);
    std::unique_ptr<DeviceSink> sink(new DeviceSink(source, periods * kPeriodFrames));
    for (const char* driver : kDrivers) {
        if (!alsaDevice.empty() && std::string_view(driver) != "alsa") continue;
        FluidSettingsPtr settings(new_fluid_settings());
        if (!settings) return nullptr;
        fluid_settings_setstr(settings.get(), "audio.driver", driver);
        if (!alsaDevice.empty())
            fluid_settings_setstr(settings.get(), "audio.alsa.device", alsaDevice.c_str());
        fluid_settings_setnum(settings.get(), "synth.sample-rate", rate);
        fluid_settings_setint(settings.get(), "audio.periods", periods);
        fluid_settings_setint(settings.get(), "audio.period-size", kPeriodFrames);
        fluid_settings_setstr(settings.get(), "audio.pulseaudio.media-role", "music");
        FluidAudioDriverPtr driverHandle(
            new_fluid_audio_driver2(settings.get(), &DeviceSink::onAudio, sink.get()));
        if (driverHandle) {
            sink->m_settings = std::move(settings);
            sink->m_driver = std::move(driverHandle);
            return sink;
        }
    }
    return nullptr;
}

DeviceSink::DeviceSink(RenderSource& source, int latencyFrames)
    : m_source(source), m_latencyFrames(latencyFrames) {}

DeviceSink::~DeviceSink() { m_driver.reset(); }

int DeviceSink::onAudio(void* data, int len, int, float*[], int nout, float* out[]) {
    auto* self = static_cast<DeviceSink*>(data);
    if (nout >= 2) {
        self->m_source.render(out[0], out[1], len);
    } else if (nout == 1) {
        std::vector<float> scratch(static_cast<std::size_t>(len));
        self->m_source.render(out[0], scratch.data(), len);
    }
    return FLUID_OK;
}

}  // namespace melodeck

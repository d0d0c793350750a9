#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio_sink.h"
#include "fluid_handles.h"

namespace melodeck {

// Plays through the desktop's sound server or ALSA, using FluidSynth's audio drivers with
// our own render callback (so every frame heard is counted). The driver's thread calls the
// source; the source must outlive the sink.
class DeviceSink final : public AudioSink {
public:
    // Opens the first driver that works (PulseAudio, which a PipeWire desktop also serves,
    // then ALSA's default device) at `rate` Hz with `periods` periods of audio queued; none
    // when no device opens. A non-empty `alsaDevice` names the one ALSA device to try (tests
    // use "null", a device that takes audio without a clock). `quiet` keeps the drivers'
    // libraries from printing their failures.
    static std::unique_ptr<DeviceSink> open(RenderSource& source, std::uint32_t rate, int periods,
                                            bool quiet, const std::string& alsaDevice = {});
    ~DeviceSink() override;
    DeviceSink(const DeviceSink&) = delete;
    DeviceSink& operator=(const DeviceSink&) = delete;

    int latencyFrames() const override { return m_latencyFrames; }
    void wake() override {}  // the device asks for audio all the time

private:
    DeviceSink(RenderSource& source, int latencyFrames);
    static int onAudio(void* data, int len, int nfx, float* fx[], int nout, float* out[]);

    RenderSource& m_source;
    const int m_latencyFrames;
    // Settings before the driver: the driver is deleted first, which stops its callbacks.
    FluidSettingsPtr m_settings;
    FluidAudioDriverPtr m_driver;
};

}  // namespace melodeck

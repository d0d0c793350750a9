#pragma once

#include <atomic>
#include <cstdint>

#include "wave_volume.h"

namespace melodeck {

// The volume of the sound the synthesizer library sends out: a gain per channel applied to
// every rendered frame on its way to the sink (device, silent, fast or WAV), after the
// synthesizer's own volume (timid_set_volume), which it leaves alone. Left in the low 16
// bits, right in the high 16 bits, 0..65535 each, linear: 65535 passes the sound as it is,
// 0 silences the channel. Starts at full volume on both channels.
//
// Threads: volume() and setVolume() may be called from any thread; the audio thread reads
// the setting through an OutputGain.
class OutputVolume final : public WaveVolume {
public:
    static constexpr std::uint32_t kFull = 0xFFFFFFFFu;

    std::uint32_t volume() const override { return m_volume.load(std::memory_order_relaxed); }
    void setVolume(std::uint32_t volume) override {
        m_volume.store(volume, std::memory_order_relaxed);
    }

private:
    std::atomic<std::uint32_t> m_volume{kFull};
};

// Applies an OutputVolume to rendered audio. A new setting is reached by a short glide, so a
// step of the volume does not click.
//
// Threads: apply() from one render thread at a time (the caller serialises them).
class OutputGain {
public:
    // `volume` must outlive the gain. A change from silence to full volume glides over
    // `rampFrames` frames (at least 1); smaller changes take proportionally less.
    OutputGain(const OutputVolume& volume, int rampFrames);

    // Scales `frames` frames of `left` and `right` (each holding that many floats). A call
    // with no frames (nothing is sounding) moves the gains to the setting at once: there is
    // no sound that could click.
    void apply(float* left, float* right, int frames);

private:
    const OutputVolume& m_volume;
    const float m_step;  // gain change per frame while gliding
    float m_left;
    float m_right;
};

}  // namespace melodeck

#pragma once

#include <cstdint>

namespace melodeck {

// The output volume that the Volume commands step: two channels of 0..65535, the left one
// in the low 16 bits and the right one in the high 16 bits. It is the volume of the sound
// the program sends out, apart from the synthesizer's own volume setting.
//
// Single-threaded: used on the UI thread only.
class WaveVolume {
public:
    virtual ~WaveVolume() = default;
    virtual std::uint32_t volume() const = 0;
    virtual void setVolume(std::uint32_t volume) = 0;
};

// A volume that is only held, starting at full volume on both channels.
class HeldWaveVolume final : public WaveVolume {
public:
    std::uint32_t volume() const override { return m_volume; }
    void setVolume(std::uint32_t volume) override { m_volume = volume; }

private:
    std::uint32_t m_volume = 0xFFFFFFFFu;
};

}  // namespace melodeck

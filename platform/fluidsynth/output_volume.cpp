#include "output_volume.h"

#include <algorithm>

namespace melodeck {

namespace {

constexpr float kChannelFull = 65535.0f;

float leftGainOf(std::uint32_t volume) {
    return static_cast<float>(volume & 0xFFFFu) / kChannelFull;
}
float rightGainOf(std::uint32_t volume) { return static_cast<float>(volume >> 16) / kChannelFull; }

// One frame's step of `gain` towards `target`, never past it.
float glide(float gain, float target, float step) {
    return gain < target ? std::min(target, gain + step) : std::max(target, gain - step);
}

}  // namespace

OutputGain::OutputGain(const OutputVolume& volume, int rampFrames)
    : m_volume(volume),
      m_step(1.0f / static_cast<float>(std::max(1, rampFrames))),
      m_left(leftGainOf(volume.volume())),
      m_right(rightGainOf(volume.volume())) {}

void OutputGain::apply(float* left, float* right, int frames) {
    // One reading per block: a setting that changes meanwhile applies from the next block.
    const std::uint32_t volume = m_volume.volume();
    const float leftTarget = leftGainOf(volume);
    const float rightTarget = rightGainOf(volume);
    if (frames <= 0) {
        m_left = leftTarget;
        m_right = rightTarget;
        return;
    }
    if (m_left == 1.0f && m_right == 1.0f && leftTarget == 1.0f && rightTarget == 1.0f) return;
    for (int i = 0; i < frames; ++i) {
        if (m_left != leftTarget) m_left = glide(m_left, leftTarget, m_step);
        if (m_right != rightTarget) m_right = glide(m_right, rightTarget, m_step);
        left[i] *= m_left;
        right[i] *= m_right;
    }
}

}  // namespace melodeck

// The output volume's gain stage on plain buffers: what each channel's setting does to the
// sound, and that a change glides instead of jumping.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "output_volume.h"

namespace melodeck {
namespace {

constexpr int kRamp = 100;

// Channel volumes packed as the setting holds them.
constexpr std::uint32_t packed(std::uint32_t left, std::uint32_t right) {
    return left | (right << 16);
}

struct Block {
    explicit Block(int frames) : left(frames, 1.0f), right(frames, 1.0f) {}
    std::vector<float> left, right;
    int frames() const { return static_cast<int>(left.size()); }
};

Block applied(OutputGain& gain, int frames) {
    Block block(frames);
    gain.apply(block.left.data(), block.right.data(), frames);
    return block;
}

TEST(OutputVolumeTest, StartsAtFullVolumeAndPassesTheSoundUnchanged) {
    OutputVolume volume;
    EXPECT_EQ(volume.volume(), OutputVolume::kFull);
    OutputGain gain(volume, kRamp);
    const Block block = applied(gain, 64);
    EXPECT_EQ(block.left, std::vector<float>(64, 1.0f));
    EXPECT_EQ(block.right, std::vector<float>(64, 1.0f));
}

TEST(OutputVolumeTest, EachChannelFollowsItsOwnHalfOfTheSetting) {
    OutputVolume volume;
    volume.setVolume(packed(0x8000, 0));
    OutputGain gain(volume, kRamp);
    const Block block = applied(gain, 8);
    EXPECT_NEAR(block.left[7], 0.5f, 0.001f);
    EXPECT_EQ(block.right[7], 0.0f);

    volume.setVolume(packed(0, 0xFFFF));
    gain.apply(nullptr, nullptr, 0);  // nothing sounding: the new setting holds at once
    const Block after = applied(gain, 8);
    EXPECT_EQ(after.left[0], 0.0f);
    EXPECT_EQ(after.right[0], 1.0f);
}

TEST(OutputVolumeTest, ChangeWhileSoundingGlidesWithoutAJump) {
    OutputVolume volume;
    OutputGain gain(volume, kRamp);
    applied(gain, 16);
    volume.setVolume(packed(0, 0xFFFF));
    // The glide spans blocks: from full to silent takes kRamp frames, a step at most
    // 1/kRamp per frame, and it ends exactly at silence.
    std::vector<float> left;
    for (int block = 0; block < 4; ++block) {
        const Block b = applied(gain, kRamp / 2);
        left.insert(left.end(), b.left.begin(), b.left.end());
        EXPECT_EQ(b.right, std::vector<float>(kRamp / 2, 1.0f));
    }
    float previous = 1.0f;
    for (float g : left) {
        EXPECT_LE(g, previous);
        EXPECT_LE(previous - g, 1.0f / kRamp + 1e-6f);
        previous = g;
    }
    EXPECT_GT(left[kRamp / 2], 0.0f);
    EXPECT_EQ(left[kRamp + 1], 0.0f);
    EXPECT_EQ(left.back(), 0.0f);
}

}  // namespace
}  // namespace melodeck

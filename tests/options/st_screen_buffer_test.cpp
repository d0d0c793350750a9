#include "st_screen_buffer.h"

#include <gtest/gtest.h>

#include "picture_test_support.h"

namespace melodeck {
namespace {

using test::Rgb;

TEST(CSTScreenBuffer, OddWidthPadsRowsToMultipleOfFourStoredBottomUpInBgr) {
    constexpr std::int32_t kWidth = 241;
    constexpr std::int32_t kHeight = 3;
    auto bitmap = CSTScreenBuffer::create(kWidth, kHeight);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->rowPixels(), 244);
    EXPECT_EQ(bitmap->stride(), 732);
    ASSERT_EQ(bitmap->bits().size(), 732u * kHeight);

    // Row y gets the colour (y + 1, 10 + x % 200, 200 - y): every byte tells where it came from.
    for (std::int32_t y = 0; y < kHeight; ++y) {
        std::vector<std::uint8_t> rgb;
        for (std::int32_t x = 0; x < kWidth; ++x) {
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(y + 1), static_cast<std::uint8_t>(10 + x % 200),
                        static_cast<std::uint8_t>(200 - y)});
        }
        bitmap->setRgbRow(y, rgb);
    }
    const auto bits = bitmap->bits();
    for (std::int32_t y = 0; y < kHeight; ++y) {
        const std::size_t stored = static_cast<std::size_t>(kHeight - 1 - y) * 732;
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::size_t at = stored + 3 * static_cast<std::size_t>(x);
            ASSERT_EQ(bits[at], 200 - y) << "blue of " << x << "," << y;
            ASSERT_EQ(bits[at + 1], 10 + x % 200) << "green of " << x << "," << y;
            ASSERT_EQ(bits[at + 2], y + 1) << "red of " << x << "," << y;
        }
        for (std::size_t pad = 3 * kWidth; pad < 732; ++pad) {
            EXPECT_EQ(bits[stored + pad], 0) << "padding byte " << pad << " of row " << y;
        }
        EXPECT_EQ(bitmap->row(y).data(), bits.data() + stored);
        EXPECT_EQ(bitmap->row(y).size(), 3u * kWidth);
    }
}

TEST(CSTScreenBuffer, WidthsAlreadyMultiplesOfFourHaveNoPadding) {
    EXPECT_EQ(CSTScreenBuffer::create(240, 1)->rowPixels(), 240);
    EXPECT_EQ(CSTScreenBuffer::create(1, 1)->rowPixels(), 4);
}

TEST(CSTScreenBuffer, RefusesEmptyNegativeAndOversizedPictures) {
    EXPECT_FALSE(CSTScreenBuffer::create(0, 10));
    EXPECT_FALSE(CSTScreenBuffer::create(10, -1));
    EXPECT_FALSE(CSTScreenBuffer::create(60000, 60000));
    EXPECT_FALSE(CSTScreenBuffer::create(CSTScreenBuffer::kMaxSide + 1, 1));
    // Both sides within the limit, the area beyond it.
    EXPECT_FALSE(
        CSTScreenBuffer::sizeAccepted(CSTScreenBuffer::kMaxSide, CSTScreenBuffer::kMaxSide));
    EXPECT_TRUE(CSTScreenBuffer::sizeAccepted(8000, 6000));
}

}  // namespace
}  // namespace melodeck

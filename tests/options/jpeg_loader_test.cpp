#include "jpeg_loader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "picture_test_support.h"

namespace melodeck {
namespace {

using test::bands;
using test::markerAt;
using test::Rgb;
using test::ScratchDir;
using test::texturedJpeg;

// Pixel (x, y) of a decoded picture, y from the top.
Rgb pixel(const CSTScreenBuffer& picture, std::int32_t x, std::int32_t y) {
    const auto row = picture.row(y);
    const std::size_t at = 3 * static_cast<std::size_t>(x);
    return {row[at + 2], row[at + 1], row[at]};
}

// JPEG is lossy; flat areas come back within a few levels.
void expectNear(Rgb actual, Rgb expected) {
    EXPECT_NEAR(actual.r, expected.r, 4);
    EXPECT_NEAR(actual.g, expected.g, 4);
    EXPECT_NEAR(actual.b, expected.b, 4);
}

std::optional<CSTScreenBuffer> decodeQuietly(const std::filesystem::path& path) {
    ::testing::internal::CaptureStderr();
    auto picture = loadJpeg(path);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the library wrote to stderr";
    return picture;
}

TEST(LoadJpeg, ColourPictureKeepsItsSizeAndRowOrder) {
    ScratchDir dir;
    const Rgb red{230, 20, 20}, blue{20, 20, 230};
    const auto path = dir.write("bands.jpg", encodeJpeg(bands(241, 32, 16, red, blue), 241, 32,
                                                        JpegColour::Rgb, {.quality = 95}));
    const auto picture = loadJpeg(path);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 241);
    EXPECT_EQ(picture->height(), 32);
    EXPECT_EQ(picture->rowPixels(), 244);
    expectNear(pixel(*picture, 3, 2), red);
    expectNear(pixel(*picture, 237, 29), blue);
    // The first stored row is the picture's bottom row, blue, stored as B, G, R.
    EXPECT_GT(picture->bits()[0], 200);
    EXPECT_LT(picture->bits()[2], 40);
}

TEST(LoadJpeg, GreyscaleGivesGreyPixels) {
    ScratchDir dir;
    std::vector<std::uint8_t> samples(64 * 16);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::uint8_t>(i % 64 * 4);
    }
    const auto picture =
        loadJpeg(dir.write("grey.jpg", encodeJpeg(samples, 64, 16, JpegColour::Grey)));
    ASSERT_TRUE(picture);
    for (std::int32_t x = 0; x < 64; ++x) {
        const Rgb p = pixel(*picture, x, 5);
        ASSERT_TRUE(p.r == p.g && p.g == p.b) << "pixel " << x << " is not grey";
    }
    EXPECT_LT(pixel(*picture, 0, 0).r, 12);
    EXPECT_GT(pixel(*picture, 63, 0).r, 240);
}

TEST(LoadJpeg, CmykIsConvertedWithOrWithoutAdobeInversion) {
    ScratchDir dir;
    // Ink amounts: full magenta and yellow make red; half black darkens cyan to (0, 128, 128).
    std::vector<std::uint8_t> inks;
    for (int i = 0; i < 16 * 16; ++i) {
        if (i < 16 * 8) {
            inks.insert(inks.end(), {0, 255, 255, 0});
        } else {
            inks.insert(inks.end(), {255, 0, 0, 127});
        }
    }
    for (JpegColour colour : {JpegColour::AdobeCmyk, JpegColour::Cmyk}) {
        SCOPED_TRACE(colour == JpegColour::AdobeCmyk ? "Adobe" : "plain");
        const auto picture = loadJpeg(dir.write("cmyk.jpg", encodeJpeg(inks, 16, 16, colour)));
        ASSERT_TRUE(picture);
        expectNear(pixel(*picture, 4, 2), Rgb{255, 0, 0});
        expectNear(pixel(*picture, 4, 13), Rgb{0, 128, 128});
    }
}

TEST(LoadJpeg, ProgressiveDecodesLikeBaseline) {
    ScratchDir dir;
    const auto baseline = loadJpeg(dir.write("a.jpg", texturedJpeg(40, 30)));
    const auto progressive = loadJpeg(dir.write("b.jpg", texturedJpeg(40, 30, true)));
    ASSERT_TRUE(baseline && progressive);
    const auto a = baseline->bits();
    const auto b = progressive->bits();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_NEAR(a[i], b[i], 2) << "byte " << i;
    }
}

TEST(LoadJpeg, FilesThatAreNotJpegGiveNoPictureAndStayQuiet) {
    ScratchDir dir;
    EXPECT_FALSE(decodeQuietly(dir.file("missing.jpg")));
    EXPECT_FALSE(decodeQuietly(dir.write("empty.jpg", {})));
    EXPECT_FALSE(decodeQuietly(dir.write("notes.txt", {'l', 'a', ' ', 'l', 'a', '\n'})));
    std::vector<std::uint8_t> bmp = {'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 40};
    bmp.resize(0x46, 0x7F);
    EXPECT_FALSE(decodeQuietly(dir.write("picture.bmp", bmp)));
    // A tables-only stream: start and end of image with nothing between.
    EXPECT_FALSE(decodeQuietly(dir.write("bare.jpg", {0xFF, 0xD8, 0xFF, 0xD9})));
}

TEST(LoadJpeg, DamagedOrTruncatedDataGivesNoPictureAndStaysQuiet) {
    ScratchDir dir;
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const auto good = texturedJpeg(64, 64, progressive);
        const std::size_t scan = markerAt(good, 0xDA);

        auto truncated = good;
        truncated.resize(scan + (good.size() - scan) / 2);
        EXPECT_FALSE(decodeQuietly(dir.write("truncated.jpg", truncated)));

        // A marker in the middle of the entropy data cuts the scan short.
        auto broken = good;
        broken[scan + 40] = 0xFF;
        broken[scan + 41] = 0xD5;
        EXPECT_FALSE(decodeQuietly(dir.write("broken.jpg", broken)));

        auto headerless = good;
        headerless[1] = 0x00;
        EXPECT_FALSE(decodeQuietly(dir.write("headerless.jpg", headerless)));
    }
}

TEST(LoadJpeg, HugeDeclaredSizeIsRefusedBeforeAllocating) {
    ScratchDir dir;
    for (bool progressive : {false, true}) {
        auto jpeg = texturedJpeg(16, 16, progressive);
        // Frame header: marker, length (2), precision (1), height (2), width (2).
        const std::size_t frame = markerAt(jpeg, progressive ? 0xC2 : 0xC0);
        for (std::size_t at : {frame + 5, frame + 7}) {
            jpeg[at] = 60000 >> 8;
            jpeg[at + 1] = 60000 & 0xFF;
        }
        // Under the sanitizers a 10 GB request would abort the test instead.
        EXPECT_FALSE(decodeQuietly(dir.write("huge.jpg", jpeg)));
    }
}

TEST(LoadJpeg, EndlesslyRepeatedScansAreRefused) {
    ScratchDir dir;
    // The first scan of a progressive file (the DC values) decodes the same again and
    // again; the library only warns about the odd progression.
    auto jpeg = texturedJpeg(16, 16, true);
    const std::size_t first = markerAt(jpeg, 0xDA);
    std::size_t end = first + 2;
    while (!(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0)) {
        ++end;
    }
    const std::vector<std::uint8_t> scan(jpeg.begin() + first, jpeg.begin() + end);
    std::vector<std::uint8_t> repeated;
    for (int i = 0; i < 600; ++i) {
        repeated.insert(repeated.end(), scan.begin(), scan.end());
    }
    jpeg.insert(jpeg.begin() + end, repeated.begin(), repeated.end());
    EXPECT_FALSE(decodeQuietly(dir.write("rescanned.jpg", jpeg)));
}

TEST(LoadJpeg, HarmlessWarningsStillGiveThePicture) {
    ScratchDir dir;
    // Stray bytes before the scan: the library warns and decodes everything.
    auto jpeg = texturedJpeg(16, 16);
    const std::size_t scan = markerAt(jpeg, 0xDA);
    jpeg.insert(jpeg.begin() + scan, {0x00, 0x12, 0x34});
    EXPECT_TRUE(decodeQuietly(dir.write("stray.jpg", jpeg)));
}

}  // namespace
}  // namespace melodeck

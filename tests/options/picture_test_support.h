#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "jpeg_writer.h"

namespace melodeck::test {

struct Rgb {
    std::uint8_t r, g, b;
};

// A folder of its own for each test, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = std::filesystem::temp_directory_path() /
                 ("melodeck-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                  std::to_string(::getpid()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::filesystem::path file(const std::string& name) const { return m_path / name; }

    std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        EXPECT_TRUE(writeBytes(file(name), bytes));
        return file(name);
    }

private:
    std::filesystem::path m_path;
};

// Samples of a width x height picture whose top `split` rows are `top` and the rest `bottom`.
inline std::vector<std::uint8_t> bands(std::int32_t width, std::int32_t height, std::int32_t split,
                                       Rgb top, Rgb bottom) {
    std::vector<std::uint8_t> samples;
    for (std::int32_t y = 0; y < height; ++y) {
        const Rgb c = y < split ? top : bottom;
        for (std::int32_t x = 0; x < width; ++x) {
            samples.insert(samples.end(), {c.r, c.g, c.b});
        }
    }
    return samples;
}

// A colour JPEG with soft detail everywhere, so that its entropy data is not trivial.
inline std::vector<std::uint8_t> texturedJpeg(std::int32_t width, std::int32_t height,
                                              bool progressive = false) {
    std::vector<std::uint8_t> samples;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            samples.insert(samples.end(),
                           {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 5),
                            static_cast<std::uint8_t>((x ^ y) * 3)});
        }
    }
    return encodeJpeg(samples, width, height, JpegColour::Rgb, {.progressive = progressive});
}

// Offset of the first (or last) marker 0xFF `code` in a JPEG file; the file must have it.
inline std::size_t markerAt(const std::vector<std::uint8_t>& jpeg, std::uint8_t code,
                            bool last = false) {
    const std::uint8_t marker[] = {0xFF, code};
    auto it = last ? std::find_end(jpeg.begin(), jpeg.end(), marker, marker + 2)
                   : std::search(jpeg.begin(), jpeg.end(), marker, marker + 2);
    EXPECT_NE(it, jpeg.end());
    return static_cast<std::size_t>(it - jpeg.begin());
}

}  // namespace melodeck::test

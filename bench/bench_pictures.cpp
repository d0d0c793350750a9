// Decoding background pictures: a 4000 x 3000 photograph-sized JPEG (made in the setup,
// in a temporary file) and a default picture, into the bitmap the painter copies from.
// For comparison, the cost of collecting the same decoded bytes in a row buffer that grows
// in fixed 230400-byte steps, copying everything at each step, which the loader avoids by
// writing rows straight into a bitmap allocated once.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "jpeg_loader.h"
#include "jpeg_writer.h"

namespace {

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
constexpr std::size_t kGrowthStep = 230400;

// Smooth gradients with fine texture, compressed at quality 90: about what a camera gives.
std::vector<std::uint8_t> photographLikeJpeg() {
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(kWidth) * kHeight * 3);
    std::size_t i = 0;
    for (std::int32_t y = 0; y < kHeight; ++y) {
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const std::uint32_t noise = (static_cast<std::uint32_t>(x) * 2654435761u) ^
                                        (static_cast<std::uint32_t>(y) * 40503u);
            samples[i++] = static_cast<std::uint8_t>(x * 255 / kWidth + (noise & 7));
            samples[i++] = static_cast<std::uint8_t>(y * 255 / kHeight + (noise >> 8 & 7));
            samples[i++] = static_cast<std::uint8_t>((x + y) / 28 + (noise >> 16 & 7));
        }
    }
    return melodeck::encodeJpeg(samples, kWidth, kHeight, melodeck::JpegColour::Rgb,
                                {.quality = 90});
}

void loadPicture(benchmark::State& state, const std::filesystem::path& path) {
    std::int64_t pixels = 0;
    for (auto _ : state) {
        auto picture = melodeck::loadJpeg(path);
        if (!picture) {
            state.SkipWithError("the picture did not decode");
            return;
        }
        pixels = static_cast<std::int64_t>(picture->width()) * picture->height();
        benchmark::DoNotOptimize(picture->bits().data());
    }
    state.SetItemsProcessed(state.iterations() * pixels);
    state.counters["MB_bitmap"] = static_cast<double>(pixels) * 3 / 1e6;
}

// Appends kHeight rows of kWidth x 3 bytes to a buffer that grows one fixed step at a time.
void rowBufferGrownInSteps(benchmark::State& state) {
    const std::size_t rowBytes = static_cast<std::size_t>(kWidth) * 3;
    const std::vector<std::uint8_t> row(rowBytes, 0x5A);
    std::size_t copied = 0;
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> buffer;
        std::size_t capacity = 0;
        std::size_t used = 0;
        copied = 0;
        for (std::int32_t y = 0; y < kHeight; ++y) {
            while (capacity < used + rowBytes) {
                auto grown = std::make_unique_for_overwrite<std::uint8_t[]>(capacity + kGrowthStep);
                if (used > 0) {
                    std::memcpy(grown.get(), buffer.get(), used);
                }
                copied += used;
                buffer = std::move(grown);
                capacity += kGrowthStep;
            }
            std::memcpy(buffer.get() + used, row.data(), rowBytes);
            used += rowBytes;
        }
        benchmark::DoNotOptimize(buffer.get());
    }
    state.counters["GB_copied"] = static_cast<double>(copied) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path photo = std::filesystem::temp_directory_path() /
                                        ("melodeck-bench-" + std::to_string(::getpid()) + ".jpg");
    if (!melodeck::writeBytes(photo, photographLikeJpeg())) {
        return 1;
    }
    const std::filesystem::path flower =
        std::filesystem::path(MELODECK_DATA_DIR) / "Images" / "Flower.jpg";

    benchmark::RegisterBenchmark("LoadJpeg/4000x3000", [&](benchmark::State& s) {
        loadPicture(s, photo);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadJpeg/default_480x640", [&](benchmark::State& s) {
        loadPicture(s, flower);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RowBufferGrownInFixedSteps/4000x3000", rowBufferGrownInSteps)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(photo);
    return 0;
}

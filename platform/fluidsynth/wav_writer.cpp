#include "wav_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace melodeck {

namespace {

constexpr long kRiffSizeOffset = 4;
constexpr long kDataSizeOffset = 40;
constexpr std::uint32_t kHeaderBytes = 44;
// WAV sizes are 32-bit; longer output keeps the largest size that fits.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - kHeaderBytes;

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::int16_t toPcm(float sample) {
    const float clipped = std::clamp(sample, -1.0f, 1.0f);
    return static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
}

}  // namespace

std::unique_ptr<WavWriter> WavWriter::create(const std::filesystem::path& path, std::uint32_t rate,
                                             int channels) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return nullptr;
    std::vector<std::uint8_t> header;
    const std::uint32_t blockAlign = static_cast<std::uint32_t>(channels) * 2;
    for (char c : {'R', 'I', 'F', 'F'}) header.push_back(static_cast<std::uint8_t>(c));
    putLe(header, kHeaderBytes - 8, 4);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '})
        header.push_back(static_cast<std::uint8_t>(c));
    putLe(header, 16, 4);  // format chunk size
    putLe(header, 1, 2);   // PCM
    putLe(header, static_cast<std::uint32_t>(channels), 2);
    putLe(header, rate, 4);
    putLe(header, rate * blockAlign, 4);
    putLe(header, blockAlign, 2);
    putLe(header, 16, 2);  // bits per sample
    for (char c : {'d', 'a', 't', 'a'}) header.push_back(static_cast<std::uint8_t>(c));
    putLe(header, 0, 4);
    if (std::fwrite(header.data(), 1, header.size(), file.get()) != header.size()) return nullptr;
    return std::unique_ptr<WavWriter>(new WavWriter(std::move(file), channels));
}

WavWriter::WavWriter(std::unique_ptr<std::FILE, FileCloser> file, int channels)
    : m_file(std::move(file)), m_channels(channels) {}

WavWriter::~WavWriter() { flush(); }

void WavWriter::write(const float* left, const float* right, int frames) {
    std::vector<std::int16_t> pcm;
    pcm.reserve(static_cast<std::size_t>(frames) * m_channels);
    for (int i = 0; i < frames; ++i) {
        pcm.push_back(toPcm(left[i]));
        if (m_channels == 2) pcm.push_back(toPcm(right[i]));
    }
    // Samples are written in the machine's order, little-endian on every machine we build for.
    const std::size_t written =
        std::fwrite(pcm.data(), sizeof(std::int16_t), pcm.size(), m_file.get());
    m_dataBytes += written * sizeof(std::int16_t);
}

void WavWriter::flush() {
    const auto dataBytes = static_cast<std::uint32_t>(std::min(m_dataBytes, kMaxDataBytes));
    std::array<std::uint8_t, 4> field{};
    const auto patch = [&](long offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) field[i] = static_cast<std::uint8_t>(value >> (8 * i));
        std::fseek(m_file.get(), offset, SEEK_SET);
        std::fwrite(field.data(), 1, field.size(), m_file.get());
    };
    patch(kRiffSizeOffset, dataBytes + kHeaderBytes - 8);
    patch(kDataSizeOffset, dataBytes);
    std::fseek(m_file.get(), 0, SEEK_END);
    std::fflush(m_file.get());
}

}  // namespace melodeck

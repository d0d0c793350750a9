#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace melodeck {

// Writes 16-bit PCM audio to a WAV file. The sizes in the header are brought up to date by
// flush() and on destruction, so a file closed at any point is a valid WAV file.
// Not thread-safe: one thread writes.
class WavWriter {
public:
    // Creates (or truncates) `path`; none when it cannot be opened for writing.
    static std::unique_ptr<WavWriter> create(const std::filesystem::path& path, std::uint32_t rate,
                                             int channels);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Appends `frames` frames; with one channel only `left` is written. Samples are clipped
    // to -1..1.
    void write(const float* left, const float* right, int frames);
    void flush();

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    WavWriter(std::unique_ptr<std::FILE, FileCloser> file, int channels);

    std::unique_ptr<std::FILE, FileCloser> m_file;
    int m_channels;
    std::uint64_t m_dataBytes = 0;
};

}  // namespace melodeck

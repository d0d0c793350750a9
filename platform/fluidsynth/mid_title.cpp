#include "mid_title.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <vector>

#include "smf_walker.h"

namespace melodeck {

namespace {

constexpr std::size_t kChunkHeaderSize = 8;
// A title needs no more than the start of a track; a huge declared length is read only as
// far as the file goes, in steps, so a lying header costs no memory.
constexpr std::size_t kReadStep = 1 << 16;

std::u16string titleText(std::span<const std::uint8_t> bytes) {
    std::u16string title;
    for (const std::uint8_t b : bytes) {
        if (title.size() == kMaxTitleLength) break;
        if (b >= 0x20) title.push_back(static_cast<char16_t>(b));
    }
    return title;
}

bool isTitleText(const SmfEvent& e) {
    return e.status == 0xFF && e.metaType == kMetaText && e.data.size() >= 2 && e.data[0] == '@' &&
           e.data[1] == 'T';
}

// Reads up to `length` bytes, fewer at the end of the file.
std::vector<std::uint8_t> readUpTo(std::ifstream& in, std::uint64_t length) {
    std::vector<std::uint8_t> data;
    while (data.size() < length && in) {
        const std::size_t step =
            static_cast<std::size_t>(std::min<std::uint64_t>(kReadStep, length - data.size()));
        const std::size_t old = data.size();
        data.resize(old + step);
        in.read(reinterpret_cast<char*>(data.data() + old), static_cast<std::streamsize>(step));
        data.resize(old + static_cast<std::size_t>(in.gcount()));
    }
    return data;
}

}  // namespace

std::u16string readMidTitle(const std::filesystem::path& path) {
    // Only regular files: opening a named pipe would wait for a writer that never comes.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::array<std::uint8_t, 14> head{};
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    if (in.gcount() != static_cast<std::streamsize>(head.size())) return {};
    const auto header = readSmfHeader(head);
    if (!header) return {};
    in.seekg(static_cast<std::streamoff>(header->headerSize));

    std::optional<std::u16string> firstTrackName;
    bool firstTrack = true;
    while (in) {
        std::array<std::uint8_t, kChunkHeaderSize> chunkHead{};
        in.read(reinterpret_cast<char*>(chunkHead.data()), chunkHead.size());
        if (in.gcount() != static_cast<std::streamsize>(chunkHead.size())) break;
        const std::uint64_t length = (std::uint64_t{chunkHead[4]} << 24) | (chunkHead[5] << 16) |
                                     (chunkHead[6] << 8) | chunkHead[7];
        const bool isTrack = chunkHead[0] == 'M' && chunkHead[1] == 'T' && chunkHead[2] == 'r' &&
                             chunkHead[3] == 'k';
        if (!isTrack) {
            in.seekg(static_cast<std::streamoff>(length), std::ios::cur);
            continue;
        }
        const std::vector<std::uint8_t> track = readUpTo(in, length);
        std::optional<std::u16string> title;
        walkSmfTrack(track, [&](const SmfEvent& e) {
            if (isTitleText(e)) {
                title = titleText(e.data.subspan(2));
                return false;
            }
            if (firstTrack && !firstTrackName && e.status == 0xFF && e.metaType == kMetaTrackName &&
                !e.data.empty())
                firstTrackName = titleText(e.data);
            return true;
        });
        if (title) return *title;
        firstTrack = false;
    }
    return firstTrackName.value_or(std::u16string{});
}

}  // namespace melodeck

#include "smf_walker.h"

#include <cstring>

namespace melodeck {

namespace {

std::uint32_t readBigEndian(std::span<const std::uint8_t> bytes, std::size_t at,
                            std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
    return value;
}

// A variable-length quantity of at most four bytes, as the file format allows; longer ones
// are malformed and end the track.
std::optional<std::uint32_t> readVarLen(std::span<const std::uint8_t> data, std::size_t& pos) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= data.size()) return std::nullopt;
        const std::uint8_t byte = data[pos++];
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return value;
    }
    return std::nullopt;
}

int channelDataBytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

}  // namespace

std::optional<SmfHeader> readSmfHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return std::nullopt;
    const std::uint32_t length = readBigEndian(bytes, 4, 4);
    if (length < 6) return std::nullopt;
    SmfHeader header;
    header.format = static_cast<std::int16_t>(readBigEndian(bytes, 8, 2));
    header.trackCount = static_cast<std::int16_t>(readBigEndian(bytes, 10, 2));
    header.division = static_cast<std::int16_t>(readBigEndian(bytes, 12, 2));
    header.headerSize = 8 + static_cast<std::size_t>(length);
    return header;
}

std::optional<SmfChunk> readSmfChunk(std::span<const std::uint8_t> bytes, std::size_t& offset) {
    if (offset > bytes.size() || bytes.size() - offset < 8) return std::nullopt;
    SmfChunk chunk;
    std::memcpy(chunk.id, bytes.data() + offset, 4);
    const std::size_t length = readBigEndian(bytes, offset + 4, 4);
    const std::size_t start = offset + 8;
    const std::size_t available = bytes.size() - start;
    chunk.data = bytes.subspan(start, length < available ? length : available);
    offset = length < available ? start + length : bytes.size();
    return chunk;
}

std::int64_t walkSmfTrack(std::span<const std::uint8_t> track,
                          const std::function<bool(const SmfEvent&)>& onEvent) {
    std::size_t pos = 0;
    std::int64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (pos < track.size()) {
        const auto delta = readVarLen(track, pos);
        if (!delta || pos >= track.size()) break;
        tick += *delta;
        SmfEvent event;
        event.tick = tick;
        std::uint8_t status = track[pos];
        if (status < 0x80) {
            if (runningStatus == 0) break;
            status = runningStatus;
        } else {
            ++pos;
        }
        event.status = status;
        if (status == 0xFF) {
            runningStatus = 0;
            if (pos >= track.size()) break;
            event.metaType = track[pos++];
            const auto length = readVarLen(track, pos);
            if (!length || *length > track.size() - pos) break;
            event.data = track.subspan(pos, *length);
            pos += *length;
        } else if (status == 0xF0 || status == 0xF7) {
            runningStatus = 0;
            const auto length = readVarLen(track, pos);
            if (!length || *length > track.size() - pos) break;
            event.data = track.subspan(pos, *length);
            pos += *length;
        } else if (status >= 0xF1) {
            // System common and real-time bytes do not belong in a file; skip them alone.
            runningStatus = 0;
        } else {
            runningStatus = status;
            const std::size_t count = static_cast<std::size_t>(channelDataBytes(status));
            if (count > track.size() - pos) break;
            event.data = track.subspan(pos, count);
            pos += count;
        }
        if (!onEvent(event)) break;
        if (event.status == 0xFF && event.metaType == kMetaEndOfTrack) break;
    }
    return tick;
}

}  // namespace melodeck

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace melodeck {

// The header chunk of a Standard MIDI File.
struct SmfHeader {
    std::int32_t format = 0;
    std::int32_t trackCount = 0;  // as declared
    std::int16_t division = 0;    // raw: ticks per quarter note, or negative SMPTE timing
    std::size_t headerSize = 0;   // bytes taken by the header chunk, its own header included
};

// Reads the header chunk at the start of `bytes`; none when the bytes are no MIDI file
// ("MThd" missing, length below 6, or the chunk cut short).
std::optional<SmfHeader> readSmfHeader(std::span<const std::uint8_t> bytes);

// One chunk after the header: its four-letter id and its data, cut at the end of `bytes`
// when the declared length runs past it.
struct SmfChunk {
    char id[4] = {};
    std::span<const std::uint8_t> data;
    bool isTrack() const { return id[0] == 'M' && id[1] == 'T' && id[2] == 'r' && id[3] == 'k'; }
};

// The chunk that starts at `offset`, and the offset of the next one; none when fewer than
// the 8 bytes of a chunk header remain.
std::optional<SmfChunk> readSmfChunk(std::span<const std::uint8_t> bytes, std::size_t& offset);

// One event of a track. For meta events `status` is 0xFF and `metaType` its type; `data` is
// the event's bytes after the status (and, for meta and system exclusive events, after the
// type and length).
struct SmfEvent {
    std::int64_t tick = 0;  // absolute within the track
    std::uint8_t status = 0;
    std::uint8_t metaType = 0;
    std::span<const std::uint8_t> data;
};

// Calls `onEvent` for each event of one track's data, in order, until End of Track, the end
// of the data, an event cut short, a data byte without a running status, or `onEvent`
// returning false. Returns the tick reached. Never reads outside `track`.
std::int64_t walkSmfTrack(std::span<const std::uint8_t> track,
                          const std::function<bool(const SmfEvent&)>& onEvent);

inline constexpr std::uint8_t kMetaText = 0x01;
inline constexpr std::uint8_t kMetaTrackName = 0x03;
inline constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
inline constexpr std::uint8_t kMetaSetTempo = 0x51;

}  // namespace melodeck

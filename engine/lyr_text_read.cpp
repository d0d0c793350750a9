// Reading a Standard MIDI File into the event, tempo and information lists.

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

#include "lyr_text.h"

namespace melodeck {

namespace {

constexpr std::string_view kTrackError = "Error of track reading";
constexpr std::string_view kNoMemory = "Insufficient memory available";

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 beats per minute
constexpr std::size_t kSkipBlock = 1024;
constexpr int kTrackCountRead = 3;
constexpr std::int32_t kWordsTrack = 2;
constexpr std::int32_t kSkippedTrack = 1;

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kMetaText = 0x01;
constexpr std::uint8_t kMetaTrackName = 0x03;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaSetTempo = 0x51;

std::uint32_t bigEndian32(const std::uint8_t* bytes) {
    return (static_cast<std::uint32_t>(bytes[0]) << 24) |
           (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

// Ticks per quarter note, or for SMPTE timing frames per second x ticks per frame.
std::int32_t divisionFrom(std::int16_t value) {
    if (value >= 0) {
        return value;
    }
    const auto raw = static_cast<std::uint16_t>(value);
    const std::int32_t framesPerSecond = -static_cast<std::int8_t>(raw >> 8);
    const std::int32_t ticksPerFrame = raw & 0xFF;
    return framesPerSecond * ticksPerFrame;
}

// Data bytes that follow a channel status.
std::uint32_t channelDataBytes(std::uint8_t status) {
    return (status >= 0xC0 && status <= 0xDF) ? 1 : 2;
}

}  // namespace

const SongEvent* CLyrText::openSong(ByteStream& in) {
    m_events.clear();
    m_eventCount = 0;
    m_info.clear();
    m_format = 0;
    m_trackCount = 0;
    m_division = 0;
    // What was laid out for the previous song goes with it.
    m_lines.clear();
    forgetDisplayedLine();
    m_lineCount = 0;
    m_lineHeight = 0;
    m_currentLineText.clear();
    m_firstLyricTime = 0;
    m_delayBase = 0;
    m_lyricDelay = 0;
    m_cursor = m_events.end();
    m_previousEvent = m_events.end();
    m_clockStarted = false;
    m_clockOffset = 0;

    m_in = &in;
    const SongEvent* head = nullptr;
    try {
        head = readSong();
    } catch (const std::bad_alloc&) {
        abandonSong();
        head = nullptr;
    }
    m_tempos.clear();
    m_tempos.shrink_to_fit();
    m_in = nullptr;
    return head;
}

void CLyrText::discardEvents() {
    m_events.clear();
    m_eventCount = 0;
    m_cursor = m_events.end();
    m_previousEvent = m_events.end();
}

void CLyrText::abandonSong() {
    discardEvents();
    m_lines.clear();
    forgetDisplayedLine();
    m_lineCount = 0;
    m_notifier.showMessage(kNoMemory);
}

const SongEvent* CLyrText::readSong() {
    // The stream's size bounds every declared length before anything is allocated for it.
    const std::int64_t start = m_in->position();
    m_in->setPosition(std::numeric_limits<std::int64_t>::max());
    m_streamSize = m_in->position();
    m_in->setPosition(start);

    std::uint8_t header[8];
    if (!readExact(header, sizeof header) || std::memcmp(header, "MThd", 4) != 0) {
        return nullptr;
    }
    const std::uint32_t headerLength = bigEndian32(header + 4);
    if (headerLength < 6) {
        return nullptr;
    }
    // Each value is kept as soon as it is read; a header cut short is not accepted.
    for (int i = 0; i < 3; ++i) {
        std::uint8_t bytes[2];
        if (!readExact(bytes, sizeof bytes)) {
            return nullptr;
        }
        const auto value = static_cast<std::int16_t>((bytes[0] << 8) | bytes[1]);
        if (i == 0) {
            m_format = value;
        } else if (i == 1) {
            m_trackCount = value;
        } else {
            m_division = divisionFrom(value);
        }
    }
    if (headerLength > 6) {
        skipBytes(headerLength - 6);
    }
    if (m_format < 0 || m_format > 2) {
        return nullptr;
    }

    m_events.emplace_back();
    m_eventCount = 1;
    m_tempos.assign(1, TempoEntry{0, kDefaultTempo});
    m_nextChunkPos = m_in->position();

    // Only the conductor track, the skipped track and the words track are read; a file
    // with fewer tracks has no words and is still a song.
    if (m_trackCount >= kTrackCountRead) {
        for (m_trackIndex = 0; m_trackIndex < kTrackCountRead; ++m_trackIndex) {
            if (readTrack() != TrackResult::Ok) {
                m_notifier.showMessage(kTrackError);
                discardEvents();
                return nullptr;
            }
        }
    }
    mergeTempos();
    return &m_events.front();
}

CLyrText::TrackResult CLyrText::readTrack() {
    m_tick = 0;
    m_in->setPosition(m_nextChunkPos);
    std::uint8_t header[8];
    if (!readExact(header, sizeof header)) {
        return TrackResult::ShortHeader;
    }
    if (std::memcmp(header, "MTrk", 4) != 0) {
        return TrackResult::BadTrack;
    }
    m_chunkLength = bigEndian32(header + 4);
    m_trackDataStart = m_in->position();
    // The next track is sought by this one's declared length, however far its scan goes.
    m_nextChunkPos = m_trackDataStart + static_cast<std::int64_t>(m_chunkLength);

    if (m_trackIndex == kSkippedTrack) {
        skipBytes(m_chunkLength);
        return TrackResult::Ok;
    }
    if (scanEvents() == ScanResult::EndOfFile) {
        // A conductor track cut short keeps what it gave; the words track must be whole.
        return m_trackIndex == kWordsTrack ? TrackResult::BadTrack : TrackResult::Ok;
    }
    const std::int64_t consumed = m_in->position() - m_trackDataStart;
    if (consumed < static_cast<std::int64_t>(m_chunkLength)) {
        skipBytes(m_chunkLength - static_cast<std::uint32_t>(consumed));
    }
    return TrackResult::Ok;
}

CLyrText::ScanResult CLyrText::scanEvents() {
    TrackState track;
    for (;;) {
        m_tick = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_tick) + readVarLen());
        std::uint8_t status = 0;
        if (!readByte(status)) {
            return ScanResult::EndOfFile;
        }
        if (status == kMetaEvent) {
            std::uint8_t type = 0;
            if (!readByte(type)) {
                return ScanResult::EndOfFile;
            }
            const std::uint32_t length = readVarLen();
            switch (type) {
                case kMetaText:
                    readTextEvent(length, track);
                    break;
                case kMetaTrackName:
                    readTrackName(length);
                    break;
                case kMetaEndOfTrack:
                    return ScanResult::EndOfTrack;
                case kMetaSetTempo:
                    readSetTempo(track);
                    break;
                default:
                    // Lyric, marker, cue point, copyright and the rest are not used.
                    skipBytes(length);
                    break;
            }
        } else if (status == 0xF0 || status == 0xF7) {
            skipBytes(readVarLen());
        } else if (status >= 0x80 && status <= 0xEF) {
            track.runningStatus = status;
            skipBytes(channelDataBytes(status));
        } else if (status < 0x80) {
            // A data byte in the status position continues the last channel message; with
            // no channel status yet in the track it is skipped alone.
            if (track.runningStatus != 0) {
                skipBytes(channelDataBytes(track.runningStatus) - 1);
            }
        }
        // 0xF1..0xF6 and 0xF8..0xFE stand alone: nothing more to skip.
    }
}

void CLyrText::readTextEvent(std::uint32_t length, TrackState& track) {
    std::optional<std::string> text = readText(length);
    if (!text) {
        return;  // Cut short: dropped.
    }
    for (char& c : *text) {
        if (static_cast<std::uint8_t>(c) < 0x20) {
            c = '.';
        }
    }
    if (m_trackIndex == kWordsTrack && (text->empty() || text->front() != '@')) {
        SongEvent& event = m_events.emplace_back();
        event.tick = m_tick;
        event.text = std::move(*text);
        ++m_eventCount;
        return;
    }
    if (text->size() >= 2 && (*text)[0] == '@' && (*text)[1] == 'T') {
        // The first title of a track replaces every information line gathered so far,
        // earlier tracks' and this track's names included.
        if (!track.titleSeen) {
            m_info.clear();
            track.titleSeen = true;
        }
        m_info.push_back(InfoEntry{std::move(*text)});
    }
}

void CLyrText::readTrackName(std::uint32_t length) {
    if (length == 0) {
        return;
    }
    std::optional<std::string> name = readText(length);
    if (!name) {
        return;  // Cut short: dropped.
    }
    // Names are C strings: they end at their first NUL.
    name->resize(std::strlen(name->c_str()));
    m_info.push_back(InfoEntry{std::move(*name)});
}

void CLyrText::readSetTempo(TrackState& track) {
    // Always three bytes, whatever length the event declares.
    std::uint8_t bytes[3];
    if (!readExact(bytes, sizeof bytes)) {
        return;
    }
    const std::uint32_t tempo = (static_cast<std::uint32_t>(bytes[0]) << 16) |
                                (static_cast<std::uint32_t>(bytes[1]) << 8) | bytes[2];
    if (tempo == 0) {
        return;  // A tempo of 0 would stop the clock: ignored.
    }
    if (!track.tempoSeen) {
        // The track's first tempo replaces the last entry from tick 0, wherever it stands.
        track.tempoSeen = true;
        m_tempos.back() = TempoEntry{0, tempo};
    } else {
        m_tempos.push_back(TempoEntry{m_tick, tempo});
    }
}

void CLyrText::mergeTempos() {
    // A tempo entry goes before the first event of a strictly later tick: a tempo change at
    // a syllable's tick follows it, and one at or after the last event is not inserted.
    auto cursor = m_events.begin();
    auto entry = m_tempos.begin();
    while (std::next(cursor) != m_events.end() && entry != m_tempos.end()) {
        const auto successor = std::next(cursor);
        if (successor->tick > entry->tick) {
            SongEvent tempoEvent;
            tempoEvent.tick = entry->tick;
            tempoEvent.tempo = entry->tempo;
            m_events.insert(successor, std::move(tempoEvent));
            ++m_eventCount;
            ++entry;
        } else {
            cursor = successor;
        }
    }
}

std::uint32_t CLyrText::readVarLen() {
    std::uint32_t value = 0;
    for (;;) {
        std::uint8_t byte = 0;
        if (!readByte(byte)) {
            return 0;
        }
        value = (value << 7) | (byte & 0x7Fu);
        if ((byte & 0x80) == 0) {
            return value;
        }
    }
}

void CLyrText::skipBytes(std::uint32_t count) {
    // Past the end of the file nothing more can be skipped, so the skip stops there.
    char scratch[kSkipBlock];
    while (count > 0) {
        const std::size_t block = std::min<std::size_t>(count, kSkipBlock);
        const std::size_t got = m_in->read(scratch, block);
        count -= static_cast<std::uint32_t>(got);
        if (got < block) {
            return;
        }
    }
}

bool CLyrText::readByte(std::uint8_t& byte) { return m_in->read(&byte, 1) == 1; }

bool CLyrText::readExact(void* dst, std::size_t size) { return m_in->read(dst, size) == size; }

std::optional<std::string> CLyrText::readText(std::uint32_t length) {
    // A declared length beyond the end of the file is a short read: nothing is allocated
    // for it and the stream ends, as reading it would have left it.
    const std::int64_t remaining = m_streamSize - m_in->position();
    if (static_cast<std::int64_t>(length) > remaining) {
        m_in->setPosition(m_streamSize);
        return std::nullopt;
    }
    std::string text(length, '\0');
    if (!readExact(text.data(), length)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace melodeck

#include "song_timeline.h"

#include <algorithm>
#include <cmath>

#include "smf_walker.h"

namespace melodeck {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 beats per minute
constexpr int kWordsTrack = 2;

}  // namespace

std::optional<SongTimeline> SongTimeline::read(std::span<const std::uint8_t> bytes) {
    const auto header = readSmfHeader(bytes);
    if (!header || header->format < 0 || header->format > 2 || header->division == 0)
        return std::nullopt;

    SongTimeline timeline;
    if (header->division > 0) {
        timeline.m_division = header->division;
    } else {
        const int framesPerSecond = -static_cast<std::int8_t>(header->division >> 8);
        const int ticksPerFrame = header->division & 0xFF;
        if (framesPerSecond <= 0 || ticksPerFrame == 0) return std::nullopt;
        timeline.m_division = -framesPerSecond * ticksPerFrame;
    }

    std::vector<TempoChange> tempos{{0, kDefaultTempo}};
    std::size_t offset = header->headerSize;
    int chunkIndex = 0;
    while (const auto chunk = readSmfChunk(bytes, offset)) {
        const int index = chunkIndex++;
        if (!chunk->isTrack()) continue;
        const bool wordsTrack = index == kWordsTrack && header->trackCount > kWordsTrack;
        const std::int64_t end = walkSmfTrack(chunk->data, [&](const SmfEvent& e) {
            if (e.status != 0xFF) return true;
            if (e.metaType == kMetaSetTempo && e.data.size() >= 3) {
                const std::uint32_t tempo = (e.data[0] << 16) | (e.data[1] << 8) | e.data[2];
                if (tempo > 0) tempos.push_back({e.tick, tempo});
            } else if (e.metaType == kMetaText && wordsTrack && !timeline.m_firstSyllableTick &&
                       (e.data.empty() || e.data[0] != '@')) {
                timeline.m_firstSyllableTick = e.tick;
            }
            return true;
        });
        timeline.m_endTick = std::max(timeline.m_endTick, end);
    }

    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    // Of several changes at one tick only the last one lasts.
    for (const TempoChange& change : tempos) {
        if (!timeline.m_tempos.empty() && timeline.m_tempos.back().tick == change.tick)
            timeline.m_tempos.back() = change;
        else
            timeline.m_tempos.push_back(change);
    }
    return timeline;
}

std::int64_t SongTimeline::samplesAt(std::int64_t tick, std::uint32_t rate) const {
    if (tick <= 0) return 0;
    if (m_division < 0)
        return static_cast<std::int64_t>(static_cast<double>(tick) * rate / -m_division);
    double seconds = 0.0;
    for (std::size_t i = 0; i < m_tempos.size() && m_tempos[i].tick < tick; ++i) {
        const std::int64_t segmentEnd =
            i + 1 < m_tempos.size() ? std::min(m_tempos[i + 1].tick, tick) : tick;
        seconds += static_cast<double>(segmentEnd - m_tempos[i].tick) *
                   m_tempos[i].microsPerQuarter / (1e6 * m_division);
    }
    return static_cast<std::int64_t>(std::floor(seconds * rate));
}

}  // namespace melodeck

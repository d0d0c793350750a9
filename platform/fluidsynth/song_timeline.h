#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace melodeck {

// What the player must know of a song before it plays: where it ends and where its first
// lyric syllable falls, both taken from the song's own tempo map as the synthesizer's MIDI
// player follows it (tempo changes of every track count, the last one at a tick wins).
class SongTimeline {
public:
    struct TempoChange {
        std::int64_t tick = 0;
        std::uint32_t microsPerQuarter = 0;
    };

    // Reads the timeline of a Standard MIDI File. None when the bytes are no MIDI file the
    // player can time (header missing or short, format outside 0..2, a division of 0).
    // Tracks that are cut short or malformed count as far as they could be read.
    static std::optional<SongTimeline> read(std::span<const std::uint8_t> bytes);

    // Last tick of the song: the End of Track (or last event) of its longest track.
    std::int64_t endTick() const { return m_endTick; }

    // The first lyric syllable's tick: the first Text event of the third track that does not
    // begin with "@" (empty texts count), as the song engine reads lyrics. None when the song
    // declares fewer than three tracks or its third track holds no such text.
    std::optional<std::int64_t> firstSyllableTick() const { return m_firstSyllableTick; }

    // Output samples at `rate` Hz from tick 0 to `tick`, through the tempo map, rounded down.
    std::int64_t samplesAt(std::int64_t tick, std::uint32_t rate) const;

    const std::vector<TempoChange>& tempos() const { return m_tempos; }

private:
    // Ticks per quarter note (positive) or, for SMPTE timing, ticks per second (negative, as
    // minus the value); never 0.
    std::int32_t m_division = 480;
    std::vector<TempoChange> m_tempos;  // sorted by tick, starting at tick 0
    std::int64_t m_endTick = 0;
    std::optional<std::int64_t> m_firstSyllableTick;
};

}  // namespace melodeck

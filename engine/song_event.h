#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>

namespace melodeck {

// One lyric line of the laid-out song.
struct LyricLine {
    std::u16string text;         // characters after character-table conversion; empty until closed
    std::int32_t length = 0;     // number of characters of the line
    std::int32_t width = 0;      // pixels in the lyric font
    std::uint8_t pageStart = 0;  // 1 when the line opens a page of the display
};

// One event of a song. Every kind of event (head, syllable, tempo change, pause marker)
// has this one shape.
struct SongEvent {
    std::int32_t tick = 0;              // absolute MIDI tick within its track
    std::optional<std::string> text;    // bytes as read; none for head, tempo events, markers
    std::int32_t sampleTime = 0;        // output samples from tick 0; set by the layout
    std::uint32_t tempo = 0;            // microseconds per quarter note; 0 unless a tempo change
    LyricLine* line = nullptr;          // set by the layout; points into the engine's line list
    std::int32_t lineOffset = 0;        // characters of `line` before this syllable
    std::int32_t length = 0;            // characters this syllable adds to `line`
    std::uint8_t marker = 0;            // 0 ordinary; 1, 2 and 10..19 pause markers
};

// A song information line: a track name or an "@T" text, bytes exactly as read.
struct InfoEntry {
    std::string text;
};

// The layout inserts events (markers, split syllables) and removes tempo events while it
// walks the list, and lines are referred to by pointer from events: std::list keeps every
// reference valid across those edits.
using EventList = std::list<SongEvent>;
using LineList = std::list<LyricLine>;
using InfoList = std::list<InfoEntry>;

}  // namespace melodeck

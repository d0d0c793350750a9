#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "canvas.h"
#include "geometry.h"
#include "language_codes.h"
#include "notifier.h"
#include "resource_source.h"
#include "song_event.h"

namespace melodeck {

// The song engine: reads a karaoke file into timed syllables and information lines,
// converts their text through a character table, lays the syllables out into lines for
// the lyric area, and moves a cursor through them as the synthesizer reports its position.
//
// Single-threaded: every call comes from the thread that owns the engine (the UI thread in
// the application). The notifier must outlive the engine.
class CLyrText {
public:
    explicit CLyrText(Notifier& notifier);
    virtual ~CLyrText();
    CLyrText(const CLyrText&) = delete;
    CLyrText& operator=(const CLyrText&) = delete;

    // ---- Reading --------------------------------------------------------------------

    // Reads a whole song from `in`, positioned at the start of the file, replacing the
    // previous song's events and information lines. Returns the head event, or nullptr when
    // the file is not accepted as MIDI (no message) or a track cannot be read ("Error of
    // track reading"; the events are discarded, the information lines keep what was read).
    // Running out of memory shows "Insufficient memory available" and ends the same way as
    // a track error. The previous song's lines go too.
    const SongEvent* openSong(ByteStream& in);

    const EventList& events() const { return m_events; }
    // Every event of the list, the head included.
    std::int32_t eventCount() const { return m_eventCount; }
    const InfoList& info() const { return m_info; }
    // Header values of the last song; 0 for a value that was never read.
    std::int32_t format() const { return m_format; }
    std::int32_t trackCount() const { return m_trackCount; }
    // Ticks per quarter note, or frames per second x ticks per frame for SMPTE timing.
    std::int32_t division() const { return m_division; }

    // ---- Character table ------------------------------------------------------------

    // Resources for the table of Russian (raw data 200). Not owned; may be null, in which
    // case the table is not found. The source must outlive its use here.
    void setResourceSource(const ResourceSource* source) { m_resources = source; }
    void loadCharTable(std::int32_t languageCode);
    std::int32_t languageCode() const { return m_languageCode; }
    const std::array<char16_t, 256>& charTable() const { return m_charTable; }

    // One character per byte, byte b becoming U+00bb.
    static std::u16string widen(std::string_view bytes);
    // Converts every character through the table, unless the language is English.
    void convertText(std::u16string& text) const;
    // Converts the first n characters through the table, whatever the language.
    void convertRaw(char16_t* text, std::size_t n) const;
    // An information line as shown: widened, converted, an "@" tag and the character after
    // it dropped.
    std::u16string infoLineText(const InfoEntry& entry) const;

    // ---- Clock -----------------------------------------------------------------------

    // Output samples per second of the synthesizer; set before the layout.
    void setSampleRate(std::uint32_t rate) { m_sampleRate = rate; }
    std::uint32_t sampleRate() const { return m_sampleRate; }
    // Recomputes the samples per tick (16.16) for a tempo in microseconds per quarter note.
    void setTempo(std::uint32_t tempo);
    std::int32_t samplesPerTickInt() const { return m_samplesPerTickInt; }
    std::int32_t samplesPerTickFrac() const { return m_samplesPerTickFrac; }

    std::int32_t firstLyricTime() const { return m_firstLyricTime; }
    // Average samples per tick up to the first syllable; set by the layout.
    std::int32_t delayBase() const { return m_delayBase; }
    // lyricDelay = delay base x `ldelay` (the LDelay setting, in ticks).
    void setLyricDelay(std::int32_t ldelay);
    std::int32_t lyricDelay() const { return m_lyricDelay; }

    // Puts the cursor on the first event after the head and stops the clock until the next
    // startClock. Called when the display of a song begins.
    void resetCursor();
    // Starts the lyric clock at the synchronisation report's position (output samples).
    void startClock(std::int32_t position);
    bool clockStarted() const { return m_clockStarted; }
    std::int32_t clockOffset() const { return m_clockOffset; }
    // Moves the cursor to the event due at `position` (output samples) and paints it.
    void advanceTo(std::int32_t position);
    // The next event to paint, or nullptr once the song has been painted to its end.
    const SongEvent* cursor() const;

    // ---- Layout ----------------------------------------------------------------------

    // Times every event and builds the lyric lines for `lyricArea` in the canvas's font.
    // Runs only when the song holds at least one event besides the head.
    // Tempo events leave the list, pause markers and the rests of over-wide syllables join
    // it; eventCount follows. The cursor is left at the end until resetCursor. Running out
    // of memory shows "Insufficient memory available" and abandons the song.
    void layoutSong(const Canvas& canvas, const Rect& lyricArea);
    const LineList& lines() const { return m_lines; }
    std::int32_t lineCount() const { return m_lineCount; }
    // Height of the first non-empty text measured in the layout; 0 if there was none.
    std::int32_t lineHeight() const { return m_lineHeight; }
    const Rect& lyricArea() const { return m_lyricArea; }

    // The lines-shown rule, from the settings LinesCount, AllScr and LAbove.
    void setLinesShown(std::int32_t linesCount, std::int32_t allScr, std::int32_t lAbove);
    std::int32_t linesShown() const { return m_linesShown; }
    std::int32_t spaceAbove() const { return m_spaceAbove; }

protected:
    // The paint step for the cursor event, called by advanceTo; `full` repaints the page
    // without moving on. The engine itself paints nothing: the display overrides this.
    virtual void paintEvent(bool full);

    // Called when the cursor reaches a marker 1 event (a long pause has begun). Returns
    // false when no picture is configured: the lyric area is then cleared with
    // clearLyricArea() and the cursor passes over the wipe markers.
    virtual bool changePictureAtBreak();
    virtual void clearLyricArea();

    // Parts of the layout pass, reachable for tests.
    // Closes the tail line (its converted text, length, and during a layout its measured
    // width) and starts an empty one.
    void newLine();
    // Adds a syllable (widened, unconverted) to the tail line under the "\" and "/"
    // conventions, ties `event` to it, and after a pause of ten seconds or more plants the
    // pause markers before `event`. `width` is the measured line width, `offset` the
    // syllable's place in the line unless it starts a new one.
    void appendSyllable(std::u16string_view syllable, EventList::iterator event,
                        std::int32_t width, std::int32_t offset);

    EventList::iterator cursorIterator() const { return m_cursor; }
    EventList& mutableEvents() { return m_events; }

private:
    // One entry of the tempo list that exists only while a file is read.
    struct TempoEntry {
        std::int32_t tick = 0;    // MIDI ticks
        std::uint32_t tempo = 0;  // microseconds per quarter note
    };
    // Results of readTrack and scanEvents.
    enum class TrackResult { Ok = 0, ShortHeader = -1, BadTrack = -2 };
    enum class ScanResult { EndOfFile = 0, EndOfTrack = -1 };
    // What a scan remembers about the track being scanned.
    struct TrackState {
        std::uint8_t runningStatus = 0;  // 0 while no channel status has been read
        bool tempoSeen = false;
        bool titleSeen = false;
    };

    // Reading (lyr_text_read.cpp).
    const SongEvent* readSong();
    TrackResult readTrack();
    ScanResult scanEvents();
    std::uint32_t readVarLen();
    void skipBytes(std::uint32_t count);
    bool readByte(std::uint8_t& byte);
    bool readExact(void* dst, std::size_t size);
    std::optional<std::string> readText(std::uint32_t length);
    void readTextEvent(std::uint32_t length, TrackState& track);
    void readTrackName(std::uint32_t length);
    void readSetTempo(TrackState& track);
    void mergeTempos();
    void discardEvents();
    void abandonSong();

    // Layout (lyr_text_layout.cpp).
    void layoutPass(const Canvas& canvas, const Rect& lyricArea);
    void layoutSyllable(EventList::iterator event);
    std::u16string wordFrom(EventList::const_iterator event, std::u16string syllable) const;
    void closeTailLine();
    void insertPauseMarkers(EventList::iterator event);

    Notifier& m_notifier;
    const ResourceSource* m_resources = nullptr;

    EventList m_events;
    std::int32_t m_eventCount = 0;
    InfoList m_info;
    std::int32_t m_format = 0;
    std::int32_t m_trackCount = 0;
    std::int32_t m_division = 0;

    // Reader state, valid during openSong only.
    ByteStream* m_in = nullptr;
    std::int64_t m_streamSize = 0;
    std::int32_t m_tick = 0;
    std::int32_t m_trackIndex = 0;
    std::uint32_t m_chunkLength = 0;
    std::int64_t m_trackDataStart = 0;
    std::int64_t m_nextChunkPos = 0;
    std::vector<TempoEntry> m_tempos;

    std::array<char16_t, 256> m_charTable{};
    std::int32_t m_languageCode = 0;

    std::uint32_t m_sampleRate = 22050;
    std::int32_t m_samplesPerTickInt = 0;
    std::int32_t m_samplesPerTickFrac = 0;
    std::int32_t m_firstLyricTime = 0;
    std::int32_t m_delayBase = 0;
    std::int32_t m_lyricDelay = 0;
    std::int32_t m_clockOffset = 0;
    bool m_clockStarted = false;
    EventList::iterator m_cursor;

    LineList m_lines;
    std::int32_t m_lineCount = 0;
    std::int32_t m_lineHeight = 0;
    std::int32_t m_linesShown = 4;
    std::int32_t m_spaceAbove = 0;
    Rect m_lyricArea;
    std::u16string m_currentLineText;
    // The last syllable handled by the layout (or the head); end() when there is none.
    EventList::iterator m_previousEvent;
    bool m_firstSyllable = false;
    // The layout's canvas while a pass runs, so that closing a line can measure it.
    const Canvas* m_canvas = nullptr;
};

}  // namespace melodeck

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap_view.h"
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
//
// The engine also paints the lyric display onto the view's canvas: the song's title block
// before the music starts, the background (a picture or white), pages of lyric lines in the
// song colour, and the sung part of the current line in the played colour. Pages are shown
// in pairs of rows: while one pair is sung, the other is refilled with the next lines.
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
    // Replaces the lyric area without a new layout (the info block was shown or hidden);
    // follow it with resetTextRect().
    void setLyricArea(const Rect& lyricArea) { m_lyricArea = lyricArea; }

    // ---- Display (lyr_text_paint.cpp) ---------------------------------------------------
    //
    // Everything is painted onto the canvas given to beginDisplay (the view's screen), in
    // device pixels of that canvas. Without a canvas nothing is painted, but the cursor still
    // moves. On a canvas of 192 dots per inch or more, copies from the background and white
    // fills of the background are scaled from 96 dpi (the picture's pixels grow with them);
    // text never is.

    // Set by the view; they keep their values from song to song.
    // The rectangle of the title block: the view's whole client area.
    void setTitleRect(const Rect& rect) { m_display.titleRect = rect; }
    const Rect& titleRect() const { return m_display.titleRect; }
    // The font that the painting selects for lyrics and the title block. Until one is set,
    // the canvas keeps the font it has.
    void setLyricFont(const FontSpec& font) { m_display.lyricFont = font; }
    // Colours (0x00BBGGRR) of text not yet sung and of text sung. Set them at song open,
    // before setHasPicture.
    void setSongColour(Colour colour) { m_display.songColour = colour; }
    void setPlayedColour(Colour colour) { m_display.playedColour = colour; }
    Colour songColour() const { return m_display.songColour; }
    Colour playedColour() const { return m_display.playedColour; }
    // Whether a background picture was loaded at song open. Without one the lyric area is
    // white, and text not yet sung is black whatever the song colour was: false sets the
    // song colour to black.
    void setHasPicture(bool hasPicture);
    bool hasPicture() const { return m_display.hasPicture; }
    // Whether the picture loaded at the last pause is to be wiped in. beginDisplay clears it.
    void setNewPictureReady(bool ready) { m_display.newPictureReady = ready; }
    bool newPictureReady() const { return m_display.newPictureReady; }
    // The background picture. The engine does not own the pixels: the caller keeps them
    // alive and unchanged until clearBackground() or the next setBackground(). An invalid
    // view counts as no picture; where a picture is wanted and none is held, white is shown.
    void setBackground(const BitmapView& picture) { m_display.background = picture; }
    void clearBackground() { m_display.background = BitmapView{}; }
    const BitmapView& background() const { return m_display.background; }

    // Starts the display of the laid-out song: puts the cursor on the first event after the
    // head with the clock stopped, forgets the page, sets the text rectangle (resetTextRect),
    // clears newPictureReady, fills the title rectangle white and paints the title block.
    // `canvas` (not owned; null for none) is painted on from now on and must outlive its use
    // here: replace it with setDisplayCanvas() before it goes.
    void beginDisplay(Canvas* canvas);
    void setDisplayCanvas(Canvas* canvas) { m_display.canvas = canvas; }
    Canvas* displayCanvas() const { return m_display.canvas; }
    // The text rectangle from the lyric area, the space above, the lines shown and the
    // line height: the lyric area's width, from top + spaceAbove down by linesShown lines.
    void resetTextRect();
    const Rect& textRect() const { return m_display.textRect; }

    // The song's information lines, centred, in black on whatever is there, one line height
    // apart from spaceAbove below the title rectangle's top; long ones are wrapped.
    void paintTitleBlock();
    // The whole lyric area from the background picture, or white without one.
    void restoreBackground();
    // With `full` false, moves the displayed line on by one (to the first line when there
    // is none yet) and repaints the page; with `full` true, repaints the page as it stands.
    void showNextLine(bool full);
    // The paint step for the cursor event, called by advanceTo; `full` repaints the
    // background, the page and the sung part before the cursor event, without moving on.
    // Does nothing when the cursor is at the end or there is no canvas.
    virtual void paintEvent(bool full);
    // One band of a picture wipe for the cursor's marker (10 to 19).
    void wipeStep();

    // The page as it stands: the line being sung (nullptr before the first page), how many
    // rows (0 to 2) show lines already sung, and which pair of rows (0 or 1) holds them.
    const LyricLine* displayedLine() const;
    std::int32_t playedRows() const { return m_display.playedRows; }
    std::int32_t half() const { return m_display.half; }
    // The row that line i of the page (0 = the page's first row) is drawn in.
    std::int32_t rowOf(std::int32_t i) const;

protected:
    // Called when the cursor reaches a marker 1 event (a long pause has begun). Returns
    // false when no picture is configured: the lyric area is then cleared with
    // clearLyricArea() and the cursor passes over the wipe markers. The view overrides it to
    // load the next picture (setBackground, setNewPictureReady); the engine's own has no
    // pictures.
    virtual bool changePictureAtBreak();
    // Fills the lyric area white.
    virtual void clearLyricArea();

    // Parts of the layout pass, reachable for tests.
    // Closes the tail line (its converted text, length, and during a layout its measured
    // width) and starts an empty one.
    void newLine();
    // Adds a syllable (widened, unconverted) to the tail line under the "\" and "/"
    // conventions, ties `event` to it, and after a pause of ten seconds or more plants the
    // pause markers before `event`. `width` is the measured line width, `offset` the
    // syllable's place in the line unless it starts a new one.
    void appendSyllable(std::u16string_view syllable, EventList::iterator event, std::int32_t width,
                        std::int32_t offset);

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

    // Display (lyr_text_paint.cpp).
    struct DisplayState {
        Canvas* canvas = nullptr;
        Rect titleRect;
        Rect textRect;
        std::optional<FontSpec> lyricFont;
        Colour songColour = kBlack;
        Colour playedColour = kBlack;
        bool hasPicture = false;
        bool newPictureReady = false;
        BitmapView background;
        LineList::const_iterator displayed;  // m_lines.end() for none
        std::int32_t playedRows = 0;
        std::int32_t half = 0;
        // The sung lines kept on the page and their offsets from the text rectangle's left.
        std::u16string p0;
        std::u16string p1;
        std::int32_t x0 = 0;
        std::int32_t x1 = 0;
    };
    void forgetDisplayedLine();
    void moveToNextLine();
    void paintPage(Canvas& canvas);
    void selectLyricFont(Canvas& canvas) const;
    std::int32_t rowTop(std::int32_t row) const;
    std::int32_t centringOffset(const LyricLine& line) const;
    // Copies `source` of the background onto `destination` (both in 96-dpi pixels), or fills
    // the destination white when there is no picture.
    void copyBackground(Canvas& canvas, const Rect& source, const Rect& destination) const;
    void fillWhite(Canvas& canvas, const Rect& rect) const;

    DisplayState m_display;
};

}  // namespace melodeck

#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "canvas.h"
#include "dpi_scale.h"
#include "font_record.h"
#include "info_block.h"
#include "lyr_text.h"
#include "playlist.h"
#include "screen_areas.h"
#include "song_display.h"
#include "synth_library.h"

namespace melodeck {

class CLyrDoc;
class FrameControl;
class Notifier;
class PlayerScreen;
class ResourceSource;
class WaveVolume;

// Playback control and the state of the view, without any window: drives the synthesizer
// library, reacts to its notifications, keeps the playlist's current song, the info
// block's counts and the two faces of the view (the playlist, or a song's lyrics) in step,
// and paints the song's screen into the canvas it is given.
//
// Owns the playlist and the song engine. The document, notifier, volume, canvas and screen
// must outlive it; the frame too, while it is attached.
//
// Single-threaded: everything, notifications included, is called on the UI thread, never
// from inside a call into the synthesizer library.
class PlayerControl final : private PlaylistObserver {
public:
    // `canvas` is the view's screen image; `dpi` the screen's dots per inch.
    PlayerControl(CLyrDoc& doc, Notifier& notifier, WaveVolume& volume, Canvas& canvas,
                  PlayerScreen& screen, Dpi dpi = {96, 96});
    ~PlayerControl() override;
    PlayerControl(const PlayerControl&) = delete;
    PlayerControl& operator=(const PlayerControl&) = delete;

    // ---- Wiring and life ------------------------------------------------------------------

    // The frame to drive; null sends its requests nowhere. Not owned.
    void setFrame(FrameControl* frame) { m_frame = frame; }
    // Resources for the lyric character tables; not owned, may be null.
    void setResourceSource(const ResourceSource* resources);
    // The view's first showing, for a client area of `client` on a screen `screenWidth`
    // pixels wide: areas, character table, default playlist, the current song restored from
    // ListInd, the tone and tempo counts from iTon and iTemp (the volume count starts at 0),
    // the info block hidden when InfoBlock is off.
    void initialUpdate(const Rect& client, std::int32_t screenWidth);
    // The view's client area changed size: the areas follow, and with them the lines of a
    // song on show; the whole screen is painted again.
    void resize(const Rect& client, std::int32_t screenWidth);
    // Stores the current index and the tone, tempo and volume counts in the document
    // (ListInd, iTon, iTemp, iVol) and saves the default playlist. Runs once.
    void destroy();

    // ---- Library notifications ---------------------------------------------------------

    void handleNotification(SynthMsg code, std::uint32_t wParam);

    // ---- Playback --------------------------------------------------------------------------

    void PlayCurrentSong();
    void StopSong();
    void NextSong();
    void PreviousSong();
    void SongEnded(bool noAdvance);
    void PlayCommand();
    void PauseCommand();
    void StopCommand();
    void ToneUp() { changeTone(1); }
    void ToneDown() { changeTone(-1); }
    void TempoUp() { changeTempo(1); }
    void TempoDown() { changeTempo(-1); }
    void VolumeUp() { changeVolume(1); }
    void VolumeDown() { changeVolume(-1); }
    void ApplyInfoBlock();
    // Makes the three fonts again from the document's font settings; the list takes its
    // font at once.
    void CreateFonts();

    // ---- The playlist ----------------------------------------------------------------------

    // A click, double click or Enter on the list: plays the selected item when it is the
    // current song, else makes it the current song.
    void tap();
    // The user changed the list's selection or focus.
    void userSelectionChanged();
    void MoveUp();
    void MoveDown();
    void DeleteItem();
    void DeleteAll();
    void AddFile(const std::filesystem::path& path);
    void AddFolder(const std::filesystem::path& folder, bool recursive);
    void OpenPlaylist(const std::filesystem::path& path);
    void SavePlaylist(const std::filesystem::path& path);
    void RebuildPlaylist(bool lyricCodeChanged);

    // ---- Painting --------------------------------------------------------------------------

    // Paints the whole screen image for the face that is up.
    void paintView();

    // ---- State -----------------------------------------------------------------------------

    Playlist& playlist() { return m_playlist; }
    const Playlist& playlist() const { return m_playlist; }
    SongDisplay& engine() { return m_engine; }
    const ScreenAreas& areas() const { return m_info.areas; }
    SynthStatus status() const;
    bool listVisible() const { return m_listVisible; }
    bool isStopRequested() const { return m_stopRequested; }
    bool lyricClockSynced() const { return m_lyricClockSynced; }
    bool displayActive() const { return m_info.displayActive; }
    bool infoShown() const { return m_info.infoShown; }
    std::int32_t lastShownSeconds() const { return m_info.lastShownSeconds; }
    std::int32_t totalSeconds() const { return m_info.totalSeconds; }
    const std::u16string& title() const { return m_info.title; }
    std::int32_t toneSteps() const { return m_info.toneSteps; }
    std::int32_t tempoSteps() const { return m_info.tempoSteps; }
    std::int32_t volumeSteps() const { return m_info.volumeSteps; }
    // The fonts as made last: kFontLyrics, kFontPlaylist, kFontInfo.
    const FontSpec& font(int use) const { return m_fonts[static_cast<std::size_t>(use)]; }

    // The caption of the playlist face, in the interface language; "My playlist" until set.
    void setPlaylistCaption(std::u16string caption);

private:
    // PlaylistObserver.
    void entryInserted(int index, const PlaylistEntry& entry) override;
    void entryRemoved(int index) override;
    void currentMade(int index) override;
    void currentCleared(int index) override;
    void selectRequested(int index) override;
    void stopRequested() override;

    void changeTone(std::int32_t step);
    void changeTempo(std::int32_t step);
    void changeVolume(std::int32_t step);
    // Moves the output's playback rate by `steps` x 1/64 of normal speed; a rate that would
    // not be positive is not passed on.
    void shiftPlaybackRate(std::int32_t steps);

    void placeAreas(const Rect& client, std::int32_t screenWidth);
    Rect clientRect() const { return Rect{0, 0, m_clientSize.width, m_clientSize.height}; }
    void showList();
    void hideList();
    void listItemChanged();
    void selectCurrent();
    void showTime(std::int32_t seconds);
    void paintStatusArea();
    PlaylistNaming naming() const;

    // Reads and lays out the current song for the lyric display.
    void openSongForDisplay(const std::filesystem::path& path);
    // The first position report of a song: tone and tempo counts applied, background and
    // first lines painted.
    void startDisplay();
    void advanceTo(std::uint32_t position);

    CLyrDoc& m_doc;
    Notifier& m_notifier;
    WaveVolume& m_volume;
    Canvas& m_canvas;
    PlayerScreen& m_screen;
    FrameControl* m_frame = nullptr;
    Dpi m_dpi;
    // The view's client size, which the screen image covers.
    Size m_clientSize;
    SongDisplay m_engine;
    Playlist m_playlist;
    std::array<FontSpec, kFontCount> m_fonts{};
    std::u16string m_playlistCaption = u"My playlist";

    // What the info block shows: the flags displayActive and infoShown, the seconds shown
    // and the song's length, the title, the three counts, and the screen areas.
    InfoDisplayState m_info;
    bool m_listVisible = true;
    bool m_stopRequested = false;
    bool m_lyricClockSynced = false;
    // The song on display was read and laid out for the display.
    bool m_songLaidOut = false;
    bool m_destroyed = false;
};

}  // namespace melodeck

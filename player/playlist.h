#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "lyr_text.h"
#include "synth_library.h"

namespace melodeck {

// One song of the playlist.
struct PlaylistEntry {
    bool isCurrent = false;      // the current song; at most one entry has it
    std::filesystem::path path;  // absolute; m3uCanHold(path)
    std::u16string displayName;  // what the list shows (see Playlist::AddSongFile)
};

// How display names are made. The view fills it from the document's UFN and LyricCode and
// from its song engine, whose character table must be the one for lyricCode.
struct PlaylistNaming {
    bool useFileName = false;                   // UFN: show file names, never titles
    std::int32_t lyricCode = kLanguageEnglish;  // titles are converted unless 3001
    const CLyrText* charTable = nullptr;        // not owned; null converts nothing
};

// What the playlist tells its view, in the order things happen: each change is reported
// once it is made, a request to stop before anything is removed. Callbacks must not edit
// the playlist they come from.
class PlaylistObserver {
public:
    virtual ~PlaylistObserver() = default;
    // An entry now stands at `index`; the entries from there on moved down one place. The
    // item shows entry.displayName, with the current-song image when entry.isCurrent.
    // `entry` stays at the same address until it is deleted from the playlist (a move
    // reports the same entry removed and inserted).
    virtual void entryInserted(int index, const PlaylistEntry& entry) = 0;
    // The entry at `index` is gone; the ones after it moved up one place.
    virtual void entryRemoved(int index) = 0;
    // The entry at `index` became the current song (MakeCurrent): give it the current-song
    // image, show its title (titleOf) and reset the time display.
    virtual void currentMade(int index) = 0;
    // The entry at `index` is no longer the current song (ClearCurrent): give it the
    // ordinary image, reset the time display, switch off the commands that need a song.
    virtual void currentCleared(int index) = 0;
    // Select and focus the item at `index`: the moved item after MoveUp and MoveDown, item 0
    // after a load that found no current song.
    virtual void selectRequested(int index) = 0;
    // Playback must stop now (StopSong): the current song is about to be deleted, or all
    // songs are. Comes before anything is removed.
    virtual void stopRequested() = 0;
};

// The playlist's entries and its current song, without any window: the view mirrors the
// entries into its list control through PlaylistObserver and forwards the list commands
// here with the selected row.
//
// Split of the work: the playlist keeps the entries, their order, the current mark
// (`isCurrent`) and currentIndex, adds songs (one file, a folder, a playlist file), moves
// and deletes them, and reads and writes playlist files. The view stops the synthesizer
// when asked, keeps item images, title, time display and command states in step with
// currentMade and currentCleared, decides when to play (a tap on the current song, Next
// while playing, the end of a song) and calls MoveCurrentTo, MakeNextCurrent,
// MakePreviousCurrent for the rest, restores and saves ListInd (RestoreCurrent,
// currentIndex), and after Add file or Add folder calls MakeFirstCurrent.
//
// The current song is a mark on its entry, not an index: moving entries moves the mark
// with them, and FollowCurrentMark finds it again.
//
// Single-threaded (the UI thread). The synthesizer library and the observer must outlive
// the playlist, or be replaced first.
class Playlist {
public:
    explicit Playlist(SynthLibrary& synth);
    Playlist(const Playlist&) = delete;
    Playlist& operator=(const Playlist&) = delete;

    void setObserver(PlaylistObserver* observer) { m_observer = observer; }
    void setNaming(const PlaylistNaming& naming) { m_naming = naming; }
    const PlaylistNaming& naming() const { return m_naming; }

    // ---- Entries ----------------------------------------------------------------------
    int count() const { return static_cast<int>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    // REQUIRES: 0 <= index < count().
    const PlaylistEntry& entry(int index) const {
        return *m_entries[static_cast<std::size_t>(index)];
    }
    // Every path, in list order.
    std::vector<std::filesystem::path> paths() const;
    // The list index of the current song; -1 for none. May name an entry whose mark was
    // just cleared (ClearCurrent keeps it) or, until FollowCurrentMark, none at all.
    int currentIndex() const { return m_currentIndex; }

    // The song's title as the player shows it: the title the synthesizer reads from the
    // file, converted through the character table unless lyricCode is 3001; the file name
    // when the title holds nothing but spaces and "@". Not limited by useFileName.
    std::u16string titleOf(const std::filesystem::path& path) const;

    // ---- Adding -----------------------------------------------------------------------

    // Appends the song in `path` (made absolute) when its file is a regular file starting
    // with "MThd"; anything else, and a path no playlist file could keep (m3uCanHold: too
    // long, or holding CR or LF), is skipped silently. The display name is the file name
    // when useFileName is set, else titleOf. Returns whether the song was added.
    bool AddSongFile(const std::filesystem::path& path);
    // Adds the songs of `folder`: its files ending in ".kar", then ".mid", then ".midi"
    // (in any case: songs copied from memory cards and Windows often end in ".KAR"), each
    // group in the order the file system lists them; then, when `recursive`, each
    // subfolder the same way, depth first. Folders reached twice through links are scanned
    // once. Unreadable folders are skipped.
    void ScanFolder(const std::filesystem::path& folder, bool recursive);
    // Appends the songs the playlist file names (see readM3uFile); a file that cannot be
    // read adds nothing. Then MakeFirstCurrent.
    void ReadPlaylist(const std::filesystem::path& file);
    // When there is no current song (currentIndex -1) and the list is not empty: asks to
    // select item 0 and makes it current.
    void MakeFirstCurrent();

    // ---- Saving -----------------------------------------------------------------------

    // Writes every path to the playlist file `file`, replacing it whole or not at all.
    // Returns false when it could not be written; the caller shows nothing.
    bool WritePlaylist(const std::filesystem::path& file,
                       AtomicWriteFault fault = AtomicWriteFault::None) const;
    // default.m3u in the user's data folder: the folder named by MELODECK_DATA_HOME, else
    // $XDG_DATA_HOME/Melodeck (when absolute), else ~/.local/share/Melodeck. Nullopt when
    // none can be told (no HOME).
    static std::optional<std::filesystem::path> defaultPlaylistFile();
    // Writes default.m3u, creating its folder. False when that fails.
    bool SaveDefaultPlaylist() const;
    // ReadPlaylist of default.m3u.
    void LoadDefaultPlaylist();
    // Makes every display name again under `naming`: saves default.m3u, deletes all
    // (stopping playback), takes the new naming and adds the same paths again; the first
    // song becomes current. The paths come from memory, not from the saved file, so a
    // save that fails loses nothing. Load the engine's new character table first.
    void Rebuild(const PlaylistNaming& naming);

    // ---- Editing (the selected row; -1 or a row out of range is no selection) ---------

    // Moves the selected entry one place up; the first entry stays. The moved entry is
    // selected again. Then FollowCurrentMark.
    void MoveUp(int selected);
    // Moves the selected entry one place down; the last entry stays.
    void MoveDown(int selected);
    // Deletes the selected entry. Deleting the current song asks to stop, clears the mark
    // and currentIndex first; FollowCurrentMark then makes item 0 current.
    void DeleteItem(int selected);
    // Asks to stop, clears the current mark and deletes every entry from the last to the
    // first; currentIndex becomes -1.
    void DeleteAll();

    // ---- The current song -------------------------------------------------------------

    // Marks the entry at currentIndex as the current song, first setting currentIndex to 0
    // when it is -1 or past the end. Nothing on an empty list.
    void MakeCurrent();
    // Removes the mark from the entry at currentIndex, which itself stays as it is.
    // Nothing when currentIndex names no entry.
    void ClearCurrent();
    // ClearCurrent, then currentIndex = index, then MakeCurrent: a tap on a song that is
    // not the current one.
    void MoveCurrentTo(int index);
    // MoveCurrentTo the entry after the current one, or the first after the last: Next,
    // and the end of a song without Repeat.
    void MakeNextCurrent();
    // MoveCurrentTo the entry before the current one, or the last before the first.
    void MakePreviousCurrent();
    // Brings back the current song of the last run, after the default playlist has been
    // loaded: a `listInd` above 0 and below count() is selected and made current, 0
    // selects item 0; anything else (the list has changed since) changes nothing.
    void RestoreCurrent(int listInd);
    // After list edits: currentIndex becomes the index of the first marked entry; with no
    // marked entry, item 0 is made current (currentIndex -1 on an empty list).
    void FollowCurrentMark();

private:
    bool validRow(int row) const { return row >= 0 && row < count(); }
    void scanFolder(const std::filesystem::path& folder, bool recursive,
                    std::set<std::pair<std::uint64_t, std::uint64_t>>& visited);
    void moveEntry(int from, int to);
    void removeEntry(int index);

    SynthLibrary& m_synth;
    PlaylistObserver* m_observer = nullptr;
    PlaylistNaming m_naming;
    // Entries live on the heap so that a reference handed to the observer stays valid while
    // the list grows and is reordered.
    std::vector<std::unique_ptr<PlaylistEntry>> m_entries;
    int m_currentIndex = -1;
};

}  // namespace melodeck

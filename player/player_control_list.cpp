#include "player_control.h"

#include "frame_control.h"
#include "lyr_doc.h"
#include "player_screen.h"

namespace melodeck {

// ---- The playlist ------------------------------------------------------------------------

void PlayerControl::tap() {
    const int selected = m_screen.selectedIndex();
    if (selected < 0 || selected >= m_playlist.count()) return;
    if (m_playlist.entry(selected).isCurrent) {
        PlayCurrentSong();
        return;
    }
    m_playlist.MoveCurrentTo(selected);
}

void PlayerControl::userSelectionChanged() { listItemChanged(); }

void PlayerControl::MoveUp() { m_playlist.MoveUp(m_screen.selectedIndex()); }
void PlayerControl::MoveDown() { m_playlist.MoveDown(m_screen.selectedIndex()); }
void PlayerControl::DeleteItem() { m_playlist.DeleteItem(m_screen.selectedIndex()); }
void PlayerControl::DeleteAll() { m_playlist.DeleteAll(); }

namespace {

// The folder part of a chosen file, as it is remembered for the next file dialog.
std::u16string folderOf(const std::filesystem::path& path) { return pathText(path.parent_path()); }

}  // namespace

void PlayerControl::AddFile(const std::filesystem::path& path) {
    m_playlist.AddSongFile(path);
    m_doc.lastFolder = folderOf(path);
    m_playlist.MakeFirstCurrent();
}

void PlayerControl::AddFolder(const std::filesystem::path& folder, bool recursive) {
    m_playlist.ScanFolder(folder, recursive);
    m_playlist.MakeFirstCurrent();
}

void PlayerControl::OpenPlaylist(const std::filesystem::path& path) {
    m_playlist.DeleteAll();
    m_playlist.ReadPlaylist(path);
    m_doc.lastFolder = folderOf(path);
}

void PlayerControl::SavePlaylist(const std::filesystem::path& path) {
    // A playlist that cannot be written is not reported.
    m_playlist.WritePlaylist(path);
    m_doc.lastFolder = folderOf(path);
}

void PlayerControl::RebuildPlaylist(bool lyricCodeChanged) {
    if (lyricCodeChanged) m_engine.loadCharTable(m_doc.LyricCode);
    m_playlist.Rebuild(naming());
}

// ---- PlaylistObserver --------------------------------------------------------------------

void PlayerControl::entryInserted(int index, const PlaylistEntry& entry) {
    m_screen.insertItem(index, entry.displayName, entry.isCurrent);
}

void PlayerControl::entryRemoved(int index) { m_screen.removeItem(index); }

void PlayerControl::currentMade(int index) {
    m_info.title = m_playlist.titleOf(m_playlist.entry(index).path);
    paintView();
    m_screen.updateNow();
    showTime(0);
    m_info.totalSeconds = 0;
    m_screen.setItemCurrent(index, true);
    listItemChanged();
}

void PlayerControl::currentCleared(int index) {
    m_screen.setItemCurrent(index, false);
    listItemChanged();
    showTime(0);
    m_info.totalSeconds = 0;
    if (m_frame) m_frame->allCommandsOff();
}

void PlayerControl::selectRequested(int index) {
    m_screen.selectItem(index);
    listItemChanged();
}

void PlayerControl::stopRequested() { StopSong(); }

void PlayerControl::selectCurrent() {
    const int index = m_playlist.currentIndex();
    if (index < 0) return;
    m_screen.selectItem(index);
    listItemChanged();
}

void PlayerControl::listItemChanged() {
    if (m_frame) m_frame->listItemChanged(m_playlist.count(), m_screen.selectedIndex() >= 0);
}

}  // namespace melodeck

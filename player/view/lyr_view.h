#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QWidget>

#include "synth_library.h"

class QImage;

namespace melodeck {

class CLyrDoc;
class FrameControl;
class Notifier;
class PlayerControl;
class ResourceSource;
class WaveVolume;

// The application's one view. While nothing plays it shows the playlist; while a song plays
// the list is hidden and the song's lyrics are painted over the background picture, with
// the info block along the bottom. It owns the playlist, the song engine and the playback
// state, drives the synthesizer library and reacts to its notifications. The rules live in
// PlayerControl; this widget shows its image and list and forwards input to it.
//
// The lyrics are painted into an image that stands for the view's screen, at any time; the
// paint event only copies that image out.
//
// Threads: everything runs on the UI thread. The listener returned by synthListener() may be
// called from the synthesizer's threads: it only queues each notification to the UI thread,
// where they are handled in arrival order between user commands.
class CLyrView final : public QWidget {
    Q_OBJECT

public:
    // `doc` and `notifier` must outlive the view. The notifier shows "File not found" and the
    // engine's messages. `volume` is the output volume the Volume commands step; null keeps
    // one of the view's own.
    CLyrView(CLyrDoc& doc, Notifier& notifier, WaveVolume* volume = nullptr,
             QWidget* parent = nullptr);
    // Runs OnDestroy() if it has not run yet.
    ~CLyrView() override;
    CLyrView(const CLyrView&) = delete;
    CLyrView& operator=(const CLyrView&) = delete;

    // ---- Start-up and shutdown, in this order ----------------------------------------

    // Resources of the current module (character tables); not owned, may be null, must
    // outlive its use. Call again when the interface language changes.
    void setResourceSource(const ResourceSource* resources);
    // Loads the lyric character table when needed, the default playlist, and restores the
    // current song and the tone and tempo counts from the document; starts keeping the
    // desktop awake during playback when the document's firstRun asks for it.
    void OnInitialUpdate();
    // The frame the view drives from now on; not owned, must outlive the view or be
    // replaced. Before a frame is attached, the view's requests to it go nowhere.
    void attachFrame(FrameControl* frame);
    // The listener to hand to timid_set_parent_wnd. It lives as long as the view.
    SynthListener& synthListener();
    // Stores the current index and the tone, tempo and volume counts in the document,
    // saves the default playlist and stops keeping the desktop awake. Runs once; later
    // calls do nothing. Call it while the document still exists.
    void OnDestroy();

    // ---- Playback ---------------------------------------------------------------------

    void PlayCurrentSong();
    void StopSong();
    void NextSong();
    void PreviousSong();
    // The Play command: nothing with an empty list or while a song plays; otherwise plays
    // the current song (from its start, also when paused). Then the frame's playback
    // commands on and list editing off.
    void PlayCommand();
    // The Pause/Play command: nothing with an empty list; when stopped, plays the current
    // song; otherwise pauses or resumes and sets the button image. Then the frame's playback
    // commands on.
    void PauseCommand();
    // The Stop command: StopSong, then the frame's states for a stopped player.
    void StopCommand();
    void ToneUp();
    void ToneDown();
    void TempoUp();
    void TempoDown();
    void VolumeUp();
    void VolumeDown();
    // Shows or hides the info block after the frame has flipped the document's InfoBlock.
    void ApplyInfoBlock();
    // Rebuilds the lyric, list and info fonts from the document's font settings.
    void CreateFonts();
    // The caption of the playlist face ("My playlist" until set), in the interface language.
    void setPlaylistCaption(const std::u16string& caption);

    // ---- Playlist ---------------------------------------------------------------------

    void MoveUp();
    void MoveDown();
    void DeleteItem();
    void DeleteAll();
    // Adds one song (skipped silently when it is no MIDI file), stores its folder as the
    // document's lastFolder and makes item 0 current when no song was current.
    void AddFile(const std::filesystem::path& path);
    // Adds the songs of `folder` (and of its subfolders when `recursive`); makes item 0
    // current when no song was current. The folder dialog stores lastFolder itself.
    void AddFolder(const std::filesystem::path& folder, bool recursive);
    // Replaces the list with the songs of the playlist file and stores its folder as
    // lastFolder.
    void OpenPlaylist(const std::filesystem::path& path);
    // Writes the list to `path` and stores its folder as lastFolder.
    void SavePlaylist(const std::filesystem::path& path);
    // Makes every display name again after a change of the document's LyricCode or UFN:
    // saves the default playlist, deletes all, loads the character table when
    // `lyricCodeChanged`, and loads the default playlist again.
    void RebuildPlaylist(bool lyricCodeChanged);

    // ---- State the frame's enable rules read ------------------------------------------

    int itemCount() const;
    bool hasSelection() const;
    // The selected item, or -1.
    int selectedIndex() const;
    // The current song's index, or -1.
    int currentIndex() const;
    SynthStatus libraryStatus() const;
    bool isListVisible() const;

    // ---- For tests and tools -----------------------------------------------------------

    PlayerControl& control();
    // The image that stands for the view's screen.
    const QImage& screenImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace melodeck

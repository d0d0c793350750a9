#pragma once

namespace melodeck {

// What the view asks of the main frame: which toolbar is shown, the enabled state of the
// playback and list commands, and the image of the Pause/Play button. The frame implements
// it; tests record the calls.
//
// The command-state flags meant here are the frame's eleven: play, pause, stop, previous,
// next, add, repeat, up, down, delete and deleteAll. The view never changes add or repeat.
//
// Single-threaded: called on the UI thread only, never from inside a synthesizer call.
class FrameControl {
public:
    virtual ~FrameControl() = default;

    // The view has just hidden the playlist to show a song: show the player toolbar.
    // Called only on that change, so a frame that toggles between its two toolbars stays in
    // step with the view.
    virtual void swapToPlayerToolbar() = 0;
    // The view has just shown the playlist again: show the list toolbar. Called only on
    // that change.
    virtual void swapToListToolbar() = 0;

    // play, pause, stop, previous and next on.
    virtual void playbackCommandsOn() = 0;
    // up, down, delete and deleteAll off (a song is being played).
    virtual void listEditingOff() = 0;
    // play, pause, stop, previous, next, up, down, delete and deleteAll off.
    virtual void allCommandsOff() = 0;
    // The states of a stopped player: pause and stop off; play, previous, next, up, down,
    // delete and deleteAll on exactly when `itemCount` > 0.
    virtual void setStoppedStates(int itemCount) = 0;
    // A list item changed (selection, focus, image or text, by the user or the program):
    // previous, next and deleteAll on exactly when `itemCount` > 0; play, delete, up and
    // down on exactly when `hasSelection`.
    virtual void listItemChanged(int itemCount, bool hasSelection) = 0;

    // The Pause/Play button of the player toolbar shows the play image while `paused`
    // and the pause image while the song plays.
    virtual void showPausePlayImage(bool paused) = 0;
};

}  // namespace melodeck

#pragma once

#include "frame_layout.h"

namespace melodeck {

// Which of the two toolbars is shown and what the player toolbar's state buttons show:
// the Pause/Play image, Repeat pressed or not, the Info block image.
//
// Pure state without a window; the main frame maps it onto its toolbars. Single-threaded.
class ToolbarState {
public:
    // Before the frame is created neither toolbar is shown; its first swap shows the list
    // toolbar.
    bool listToolbarShown() const { return m_listToolbarShown; }
    // Shows the other toolbar: the list toolbar when it was not shown, else the player one.
    void swap() { m_listToolbarShown = !m_listToolbarShown; }

    // The image of the Pause/Play button: the pause image at first.
    int pauseButtonImage() const { return m_pauseImage; }
    // The Pause/Play command paused (play image) or resumed (pause image) the song. Only
    // that command changes the image.
    void showPaused(bool paused) { m_pauseImage = paused ? kImagePlay : kImagePause; }

    bool repeatPressed() const { return m_repeatPressed; }
    void setRepeat(bool on) { m_repeatPressed = on; }

    // The Info block button's image: on while the block is shown, off while it is hidden.
    int infoBlockImage() const { return m_infoImage; }
    void setInfoBlock(bool on) { m_infoImage = on ? kImageInfoBlockOn : kImageInfoBlockOff; }

private:
    bool m_listToolbarShown = false;
    int m_pauseImage = kImagePause;
    bool m_repeatPressed = false;
    int m_infoImage = kImageInfoBlockOff;
};

}  // namespace melodeck

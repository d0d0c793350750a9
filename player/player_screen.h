#pragma once

#include <string>

#include "canvas.h"

namespace melodeck {

// What the playback control asks of the widget that shows it: the playlist's list control,
// which of the two faces is up, and when the screen image is to be shown again. The widget
// implements it; tests keep a plain model of it.
//
// The list mirrors the playlist item for item: the control inserts, removes and marks
// items as the playlist changes. Programmatic changes made through this interface must not
// be reported back to the control as user input.
//
// Single-threaded: UI thread only.
class PlayerScreen {
public:
    virtual ~PlayerScreen() = default;

    // ---- The list control ------------------------------------------------------------
    // An item showing `text` now stands at `index`; those from there on moved down one.
    // `current` gives it the current-song image, otherwise the ordinary one.
    virtual void insertItem(int index, const std::u16string& text, bool current) = 0;
    virtual void removeItem(int index) = 0;
    virtual void setItemCurrent(int index, bool current) = 0;
    // Selects and focuses the item at `index`.
    virtual void selectItem(int index) = 0;
    // The first selected item, or -1.
    virtual int selectedIndex() const = 0;
    virtual void setListFont(const FontSpec& font) = 0;

    // ---- The two faces ----------------------------------------------------------------
    // Shows the list (the playlist face) or hides it (the song face).
    virtual void setListVisible(bool visible) = 0;

    // ---- Showing the screen image -------------------------------------------------------
    // The screen image changed: show it when the window paints next.
    virtual void imageChanged() = 0;
    // Shows the screen image at once.
    virtual void updateNow() = 0;
    // Shows or takes back the busy cursor while a song is handed to the synthesizer.
    virtual void setBusy(bool busy) = 0;
};

}  // namespace melodeck

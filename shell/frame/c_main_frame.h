#pragma once

#include <QMainWindow>
#include <map>

#include "command_states.h"
#include "frame_control.h"
#include "toolbar_state.h"

class QAction;
class QMenu;
class QToolBar;

namespace melodeck {

class CLyrDoc;
class CLyrView;
class FrameDialogs;

// The application's main window: the menu bar at the top, the list toolbar and the player
// toolbar at the bottom (one shown at a time), and the view in between. It turns every menu,
// toolbar and accelerator command into a call on the view, on the document or into a dialog,
// and keeps the enabled state of the playback and list commands.
//
// Every command is a QAction whose data() holds the command's numeric id; a menu item and a
// toolbar button with the same id share one action. The rules live in CommandStates and
// ToolbarState; this class only maps them onto its actions.
//
// Single-threaded: UI thread only.
class CMainFrame final : public QMainWindow, public FrameControl {
public:
    // `doc` and `dialogs` must outlive the frame. The list toolbar is shown at once.
    CMainFrame(CLyrDoc& doc, FrameDialogs& dialogs, QWidget* parent = nullptr);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Takes `view` as the central widget (the frame owns it from now on) and attaches to it:
    // the view drives this frame, builds its fonts and receives the synthesizer library's
    // notifications; the Repeat and Info block buttons show the document's settings.
    void attachView(CLyrView* view);
    // The list commands' enabled state from the playlist's item count and selection.
    void updateListCommands();
    // The attached view, or null.
    CLyrView* view() const { return m_view; }

    // Runs the command `id` as its menu item, button or accelerator would. Disabled
    // commands are run too: callers that honour the enabled state check isEnabled first.
    void runCommand(int id);
    // The action of command `id`, or null when the frame has none.
    QAction* action(int id) const;

    const CommandStates& commandStates() const { return m_states; }
    const ToolbarState& toolbarState() const { return m_toolbar; }
    QToolBar* listToolbar() const { return m_listToolbar; }
    QToolBar* playerToolbar() const { return m_playerToolbar; }

    // ---- FrameControl ------------------------------------------------------------------
    void swapToPlayerToolbar() override;
    void swapToListToolbar() override;
    void playbackCommandsOn() override;
    void listEditingOff() override;
    void allCommandsOff() override;
    void setStoppedStates(int itemCount) override;
    void listItemChanged(int itemCount, bool hasSelection) override;
    void showPausePlayImage(bool paused) override;

protected:
    // No context menu that could hide a toolbar.
    QMenu* createPopupMenu() override;

private:
    QAction* makeAction(int id, const QString& text);
    void buildMenus();
    QToolBar* buildToolbar(const char* name, bool player);
    // Command 4007: shows the other toolbar.
    void swapToolbars();
    // Copies the command states and toolbar state onto the actions.
    void applyCommandStates();
    void applyToolbarState();
    void stopIfPlaying();

    CLyrDoc& m_doc;
    FrameDialogs& m_dialogs;
    CLyrView* m_view = nullptr;
    QToolBar* m_listToolbar = nullptr;
    QToolBar* m_playerToolbar = nullptr;
    CommandStates m_states;
    ToolbarState m_toolbar;
    std::map<int, QAction*> m_actions;  // owned by the frame as their parent
};

}  // namespace melodeck

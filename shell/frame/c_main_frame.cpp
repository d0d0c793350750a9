#include "c_main_frame.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QString>
#include <QToolBar>
#include <filesystem>

#include "command_ids.h"
#include "doc_settings.h"
#include "frame_dialogs.h"
#include "frame_layout.h"
#include "images.h"
#include "lyr_doc.h"
#include "lyr_view.h"

namespace melodeck {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QIcon imageIcon(std::string_view name) {
    return QIcon(QString::fromStdString(toolbarImagePath(name)));
}

// A path from a dialog as the file system names it.
std::filesystem::path filePath(const std::u16string& text) {
    return std::filesystem::path(
        QFile::encodeName(QString::fromStdU16String(text)).toStdString());
}

}  // namespace

CMainFrame::CMainFrame(CLyrDoc& doc, FrameDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_dialogs(dialogs) {
    registerImageResources();
    setWindowTitle(QStringLiteral("Melodeck"));
    QIcon appIcon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        appIcon.addFile(QStringLiteral(":/icons/%1x%1/melodeck.png").arg(size));
    }
    setWindowIcon(appIcon);
    // A portrait window, the shape the lyric layout and the default pictures are made for;
    // smaller when the screen cannot hold it.
    QSize size(480, 640);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableSize());
    }
    resize(size);

    buildMenus();
    m_listToolbar = buildToolbar("listToolbar", false);
    m_playerToolbar = buildToolbar("playerToolbar", true);
    // The swap has no place in the menus: the view asks for it when it hides or shows the
    // playlist. The action exists so that the command can still be sent by its id.
    makeAction(cmd::kSwapToolbars, QStringLiteral("Swap toolbars"));
    m_listToolbar->hide();
    m_playerToolbar->hide();
    swapToolbars();
    applyCommandStates();
    applyToolbarState();
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::makeAction(int id, const QString& text) {
    if (QAction* existing = action(id)) return existing;
    auto* a = new QAction(text, this);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    // Added to the window too, so that accelerators work whatever is shown.
    addAction(a);
    m_actions.emplace(id, a);
    return a;
}

QAction* CMainFrame::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::buildMenus() {
    QMenuBar* bar = menuBar();
    for (const SubmenuSpec& submenu : menuBarSpec()) {
        QMenu* menu = bar->addMenu(fromUtf8(submenu.title));
        for (const MenuItemSpec& item : submenu.items) {
            menu->addAction(makeAction(item.id, fromUtf8(item.caption)));
        }
    }
    const MenuItemSpec exit = exitItemSpec();
    bar->addAction(makeAction(exit.id, fromUtf8(exit.caption)));

    action(cmd::kAddFile)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action(cmd::kExit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    action(cmd::kRepeat)->setCheckable(true);
    action(cmd::kInfoBlock)->setCheckable(true);
}

QToolBar* CMainFrame::buildToolbar(const char* name, bool player) {
    auto* toolbar = new QToolBar(QString::fromLatin1(name), this);
    toolbar->setObjectName(QString::fromLatin1(name));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setIconSize(QSize(16, 15));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto images = player ? playerToolbarImages() : listToolbarImages();
    for (const ToolButtonSpec& button : player ? playerToolbarSpec() : listToolbarSpec()) {
        if (button.id == kSeparator) {
            toolbar->addSeparator();
            continue;
        }
        QAction* a = makeAction(button.id, fromUtf8(button.tooltip));
        a->setToolTip(fromUtf8(button.tooltip));
        a->setIcon(imageIcon(images[static_cast<std::size_t>(button.image)]));
        toolbar->addAction(a);
    }
    if (player) action(cmd::kToolbarRepeat)->setCheckable(true);
    addToolBar(Qt::BottomToolBarArea, toolbar);
    return toolbar;
}

QMenu* CMainFrame::createPopupMenu() { return nullptr; }

void CMainFrame::attachView(CLyrView* view) {
    m_view = view;
    setCentralWidget(view);
    view->attachFrame(this);
    view->CreateFonts();
    m_doc.synth().timid_set_parent_wnd(&view->synthListener());
    m_toolbar.setInfoBlock(m_doc.InfoBlock != 0);
    m_toolbar.setRepeat(m_doc.Repeat == 1);
    applyToolbarState();
}

void CMainFrame::updateListCommands() {
    if (m_view) listItemChanged(m_view->itemCount(), m_view->hasSelection());
}

void CMainFrame::swapToolbars() {
    m_toolbar.swap();
    m_listToolbar->setVisible(m_toolbar.listToolbarShown());
    m_playerToolbar->setVisible(!m_toolbar.listToolbarShown());
}

void CMainFrame::applyCommandStates() {
    for (const auto& [id, a] : m_actions) a->setEnabled(m_states.isEnabled(id));
}

void CMainFrame::applyToolbarState() {
    const auto images = playerToolbarImages();
    action(cmd::kToolbarPause)
        ->setIcon(imageIcon(images[static_cast<std::size_t>(m_toolbar.pauseButtonImage())]));
    action(cmd::kToolbarInfoBlock)
        ->setIcon(imageIcon(images[static_cast<std::size_t>(m_toolbar.infoBlockImage())]));
    action(cmd::kToolbarRepeat)->setChecked(m_toolbar.repeatPressed());
    // The menu items show the same settings as check marks.
    action(cmd::kRepeat)->setChecked(m_doc.Repeat == 1);
    action(cmd::kInfoBlock)->setChecked(m_doc.InfoBlock != 0);
}

void CMainFrame::stopIfPlaying() {
    if (m_view && m_view->libraryStatus() != SynthStatus::Stopped) m_view->StopSong();
}

void CMainFrame::runCommand(int id) {
    switch (id) {
    case cmd::kRepeat:
    case cmd::kToolbarRepeat:
        m_doc.Repeat = m_doc.Repeat ? 0 : 1;
        m_toolbar.setRepeat(m_doc.Repeat == 1);
        applyToolbarState();
        return;
    case cmd::kInfoBlock:
    case cmd::kToolbarInfoBlock:
        m_doc.InfoBlock = m_doc.InfoBlock ? 0 : 1;
        m_toolbar.setInfoBlock(m_doc.InfoBlock != 0);
        applyToolbarState();
        if (m_view) m_view->ApplyInfoBlock();
        return;
    case cmd::kSwapToolbars: swapToolbars(); return;
    case cmd::kAbout: m_dialogs.about(this); return;
    case cmd::kExit: close(); return;
    case cmd::kLyricOptions:
    case cmd::kPicturesOptions:
    case cmd::kGeneralOptions:
    case cmd::kInterfaceLanguage:
    case cmd::kAssociations:
        // Their dialogs join later.
        return;
    default: break;
    }

    if (!m_view) return;
    CLyrView& view = *m_view;
    switch (id) {
    case cmd::kAddFile:
    case cmd::kAddSong:
        if (auto file = m_dialogs.songFile(this, m_doc.lastFolder)) view.AddFile(filePath(*file));
        break;
    case cmd::kAddFolder:
        if (auto choice = m_dialogs.songFolder(this, m_doc.lastFolder)) {
            m_doc.lastFolder = choice->folder.substr(0, kMaxFolderUnits);
            view.AddFolder(filePath(choice->folder), choice->includeSubfolders);
        }
        break;
    case cmd::kOpenPlaylist:
        if (auto file = m_dialogs.openPlaylist(this, m_doc.lastFolder)) {
            view.OpenPlaylist(filePath(*file));
        }
        break;
    case cmd::kSavePlaylist:
        if (auto file = m_dialogs.savePlaylist(this, m_doc.lastFolder)) {
            view.SavePlaylist(filePath(*file));
        }
        break;
    case cmd::kPlay:
    case cmd::kToolbarPlay: view.PlayCommand(); break;
    case cmd::kPause:
    case cmd::kToolbarPause: view.PauseCommand(); break;
    case cmd::kStop:
    case cmd::kToolbarStop: view.StopCommand(); break;
    case cmd::kPreviousSong:
    case cmd::kMenuPrevious: view.PreviousSong(); break;
    case cmd::kNextSong:
    case cmd::kMenuNext: view.NextSong(); break;
    case cmd::kUp:
    case cmd::kToolbarUp: view.MoveUp(); break;
    case cmd::kDown:
    case cmd::kToolbarDown: view.MoveDown(); break;
    case cmd::kDelete:
    case cmd::kToolbarDelete: view.DeleteItem(); break;
    case cmd::kDeleteAll: view.DeleteAll(); break;
    case cmd::kToneDown: view.ToneDown(); break;
    case cmd::kToneUp: view.ToneUp(); break;
    case cmd::kTempoDown: view.TempoDown(); break;
    case cmd::kTempoUp: view.TempoUp(); break;
    case cmd::kVolumeDown: view.VolumeDown(); break;
    case cmd::kVolumeUp: view.VolumeUp(); break;
    case cmd::kPlaybackOptions:
        // The Playback options dialog joins later; the song stops first all the same.
        stopIfPlaying();
        break;
    case cmd::kFontsOptions:
        // The Fonts dialog joins later; the fonts are made again whatever it answers.
        stopIfPlaying();
        view.CreateFonts();
        break;
    default: break;
    }
}

// ---- FrameControl --------------------------------------------------------------------

void CMainFrame::swapToPlayerToolbar() {
    if (m_toolbar.listToolbarShown()) swapToolbars();
}

void CMainFrame::swapToListToolbar() {
    if (!m_toolbar.listToolbarShown()) swapToolbars();
}

void CMainFrame::playbackCommandsOn() {
    m_states.controlsOn();
    applyCommandStates();
}

void CMainFrame::listEditingOff() {
    m_states.listEditingOff();
    applyCommandStates();
}

void CMainFrame::allCommandsOff() {
    m_states.controlsOff();
    applyCommandStates();
}

void CMainFrame::setStoppedStates(int itemCount) {
    m_states.setStopped(itemCount <= 0);
    applyCommandStates();
}

void CMainFrame::listItemChanged(int itemCount, bool hasSelection) {
    m_states.listItemChanged(itemCount <= 0, hasSelection);
    applyCommandStates();
}

void CMainFrame::showPausePlayImage(bool paused) {
    m_toolbar.showPaused(paused);
    applyToolbarState();
}

}  // namespace melodeck

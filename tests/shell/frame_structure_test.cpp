#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <memory>

#include "c_main_frame.h"
#include "command_ids.h"
#include "frame_fixture.h"
#include "frame_layout.h"
#include "images.h"
#include "lyr_doc.h"
#include "support/fake_synth_library.h"

namespace melodeck::test {
namespace {

struct Entry {
    int id;  // 0 for a separator
    QString text;
};

std::vector<Entry> entries(const QList<QAction*>& actions) {
    std::vector<Entry> out;
    for (QAction* a : actions) {
        out.push_back(a->isSeparator() ? Entry{0, {}} : Entry{a->data().toInt(), a->text()});
    }
    return out;
}

std::vector<std::pair<int, QString>> tooltips(QToolBar* toolbar) {
    std::vector<std::pair<int, QString>> out;
    for (QAction* a : toolbar->actions()) {
        out.emplace_back(a->isSeparator() ? 0 : a->data().toInt(),
                         a->isSeparator() ? QString() : a->toolTip());
    }
    return out;
}

// A frame over a document with a scripted synthesizer and no settings store, without a view.
class FrameStructureTest : public ::testing::Test {
protected:
    FrameStructureTest() {
        ensureWidgetApp();
        m_doc = std::make_unique<CLyrDoc>(std::make_unique<FakeSynthLibrary>(), nullptr,
                                          AppPaths{"/usr/bin/melodeck", "/usr/share/melodeck"});
        m_frame = std::make_unique<CMainFrame>(*m_doc, m_dialogs);
    }
    bool enabled(int id) { return m_frame->action(id)->isEnabled(); }

    ScriptedDialogs m_dialogs;
    std::unique_ptr<CLyrDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(FrameStructureTest, MenuBarHoldsFiveSubmenusAndExit) {
    const QList<QAction*> top = m_frame->menuBar()->actions();
    ASSERT_EQ(top.size(), 6);
    const QStringList titles = {"File", "Player", "List", "Options", "Help"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(top[i]->menu(), nullptr);
        EXPECT_EQ(top[i]->text(), titles[i]);
    }
    EXPECT_EQ(top[5]->data().toInt(), cmd::kExit);
    EXPECT_EQ(top[5]->text(), "Exit");

    std::vector<std::pair<int, QString>> items;
    for (int i = 0; i < 5; ++i) {
        for (const Entry& e : entries(top[i]->menu()->actions())) items.emplace_back(e.id, e.text);
    }
    const std::vector<std::pair<int, QString>> expected = {
        {57601, "Add file"}, {32804, "Add folder"},
        {32779, "Play"}, {32780, "Pause"}, {32781, "Stop"}, {32789, "Repeat"},
        {32818, "Info block"},
        {32800, "Open playlist"}, {32801, "Save playlist"}, {32796, "Up"}, {32797, "Down"},
        {32798, "Delete"}, {32799, "Delete all"},
        {32774, "Playback"}, {32775, "Fonts"}, {32788, "Lyric"}, {32802, "Pictures"},
        {32819, "General"}, {32805, "Language of interface"}, {32803, "Associations"},
        {57664, "About"}};
    EXPECT_EQ(items, expected);
}

TEST_F(FrameStructureTest, ToolbarsSitAtTheBottomWithTheirButtonsAndTooltips) {
    QToolBar* list = m_frame->listToolbar();
    QToolBar* player = m_frame->playerToolbar();
    EXPECT_EQ(m_frame->toolBarArea(list), Qt::BottomToolBarArea);
    EXPECT_EQ(m_frame->toolBarArea(player), Qt::BottomToolBarArea);

    const std::vector<std::pair<int, QString>> listExpected = {
        {4004, "Previous song"}, {4001, "Play"}, {32816, "Stop"}, {4005, "Next song"}, {0, {}},
        {4000, "Add song"}, {32804, "Add folder"}, {0, {}},
        {32791, "Down"}, {32790, "Up"}, {32792, "Delete item"}};
    EXPECT_EQ(tooltips(list), listExpected);
    const std::vector<std::pair<int, QString>> playerExpected = {
        {32817, "Info block"}, {4002, "Pause / Play"}, {4003, "Stop"}, {4006, "Repeat"},
        {0, {}},
        {32806, "Tone Down"}, {32807, "Tone Up"}, {32809, "Tempo Down"}, {32810, "Tempo Up"},
        {32811, "Volume Down"}, {32812, "Volume Up"}};
    EXPECT_EQ(tooltips(player), playerExpected);
    for (QToolBar* toolbar : {list, player}) {
        for (QAction* a : toolbar->actions()) {
            if (!a->isSeparator()) {
                EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
            }
        }
    }
}

TEST_F(FrameStructureTest, EveryToolbarImageIsCompiledInAtBothSizes) {
    registerImageResources();
    std::vector<std::string_view> names(listToolbarImages().begin(), listToolbarImages().end());
    names.insert(names.end(), playerToolbarImages().begin(), playerToolbarImages().end());
    for (std::string_view name : names) {
        const QString path = QString::fromStdString(toolbarImagePath(name));
        QString big = path;
        big.replace(".png", "@2x.png");
        EXPECT_EQ(QImage(path).size(), QSize(16, 15)) << name;
        EXPECT_EQ(QImage(big).size(), QSize(32, 30)) << name;
    }
    for (std::string_view name : {kItemImageNormal, kItemImageCurrent}) {
        EXPECT_EQ(QImage(QString::fromStdString(toolbarImagePath(name))).size(), QSize(16, 16));
    }
}

TEST_F(FrameStructureTest, OneToolbarIsShownAndTheSwapCommandAlternates) {
    EXPECT_FALSE(m_frame->listToolbar()->isHidden());
    EXPECT_TRUE(m_frame->playerToolbar()->isHidden());
    m_frame->runCommand(cmd::kSwapToolbars);
    EXPECT_TRUE(m_frame->listToolbar()->isHidden());
    EXPECT_FALSE(m_frame->playerToolbar()->isHidden());
    // The view's requests name the toolbar they want, so a repeated one changes nothing.
    m_frame->swapToPlayerToolbar();
    EXPECT_FALSE(m_frame->playerToolbar()->isHidden());
    m_frame->swapToListToolbar();
    EXPECT_FALSE(m_frame->listToolbar()->isHidden());
    EXPECT_TRUE(m_frame->playerToolbar()->isHidden());
}

TEST_F(FrameStructureTest, ActionsFollowTheCommandStates) {
    EXPECT_TRUE(enabled(cmd::kToolbarPlay));
    EXPECT_TRUE(enabled(cmd::kPlay));
    EXPECT_FALSE(enabled(cmd::kListStop));
    EXPECT_FALSE(enabled(cmd::kToolbarPause));
    EXPECT_FALSE(enabled(cmd::kPreviousSong));
    EXPECT_TRUE(enabled(cmd::kDeleteAll));

    m_frame->playbackCommandsOn();
    m_frame->listEditingOff();
    EXPECT_TRUE(enabled(cmd::kToolbarPause));
    EXPECT_TRUE(enabled(cmd::kStop));
    EXPECT_FALSE(enabled(cmd::kToolbarUp));
    EXPECT_FALSE(enabled(cmd::kDeleteAll));

    m_frame->setStoppedStates(0);
    EXPECT_FALSE(enabled(cmd::kPlay));
    EXPECT_FALSE(enabled(cmd::kToolbarStop));
    EXPECT_TRUE(enabled(cmd::kToolbarPlay));  // no flag governs the list toolbar's Play
    EXPECT_TRUE(enabled(cmd::kAddSong));

    m_frame->listItemChanged(3, true);
    EXPECT_TRUE(enabled(cmd::kPlay));
    EXPECT_TRUE(enabled(cmd::kToolbarDelete));
    m_frame->allCommandsOff();
    EXPECT_FALSE(enabled(cmd::kNextSong));
    EXPECT_FALSE(enabled(cmd::kDelete));
    EXPECT_TRUE(enabled(cmd::kToolbarRepeat));
}

TEST_F(FrameStructureTest, RepeatAndInfoBlockFlipTheDocumentAndTheirButtons) {
    ASSERT_EQ(m_doc->Repeat, 0);
    m_frame->action(cmd::kToolbarRepeat)->trigger();
    EXPECT_EQ(m_doc->Repeat, 1);
    EXPECT_TRUE(m_frame->action(cmd::kToolbarRepeat)->isChecked());
    EXPECT_TRUE(m_frame->action(cmd::kRepeat)->isChecked());
    m_frame->action(cmd::kRepeat)->trigger();
    EXPECT_EQ(m_doc->Repeat, 0);
    EXPECT_FALSE(m_frame->action(cmd::kToolbarRepeat)->isChecked());

    ASSERT_EQ(m_doc->InfoBlock, 1);
    m_frame->runCommand(cmd::kInfoBlock);
    EXPECT_EQ(m_doc->InfoBlock, 0);
    EXPECT_EQ(m_frame->toolbarState().infoBlockImage(), kImageInfoBlockOff);
    m_frame->runCommand(cmd::kToolbarInfoBlock);
    EXPECT_EQ(m_doc->InfoBlock, 1);
    EXPECT_EQ(m_frame->toolbarState().infoBlockImage(), kImageInfoBlockOn);
}

TEST_F(FrameStructureTest, PausePlayImageChangesOnlyWhenAskedTo) {
    const qint64 pauseIcon = m_frame->action(cmd::kToolbarPause)->icon().cacheKey();
    m_frame->showPausePlayImage(true);
    EXPECT_EQ(m_frame->toolbarState().pauseButtonImage(), kImagePlay);
    EXPECT_NE(m_frame->action(cmd::kToolbarPause)->icon().cacheKey(), pauseIcon);
    m_frame->setStoppedStates(2);
    m_frame->playbackCommandsOn();
    EXPECT_EQ(m_frame->toolbarState().pauseButtonImage(), kImagePlay);
    m_frame->showPausePlayImage(false);
    EXPECT_EQ(m_frame->toolbarState().pauseButtonImage(), kImagePause);
}

TEST_F(FrameStructureTest, AcceleratorsAddAFileAndExit) {
    EXPECT_EQ(m_frame->action(cmd::kAddFile)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(m_frame->action(cmd::kExit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_frame->show();
    ASSERT_TRUE(m_frame->isVisible());
    m_frame->action(cmd::kExit)->trigger();
    EXPECT_FALSE(m_frame->isVisible());
}

TEST_F(FrameStructureTest, AboutOpensItsDialogAndUnbuiltOptionsDoNothing) {
    m_frame->runCommand(cmd::kAbout);
    for (int id : {cmd::kLyricOptions, cmd::kPicturesOptions, cmd::kGeneralOptions,
                   cmd::kInterfaceLanguage, cmd::kAssociations, cmd::kPlaybackOptions,
                   cmd::kFontsOptions}) {
        EXPECT_TRUE(enabled(id)) << id;
        m_frame->runCommand(id);
    }
    EXPECT_EQ(m_dialogs.asked, std::vector<std::string>{"about"});
}

}  // namespace
}  // namespace melodeck::test

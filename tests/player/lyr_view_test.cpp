#include <QApplication>
#include <QImage>
#include <QListWidget>

#include <thread>

#include "list_icons.h"
#include "lyr_view.h"
#include "player_fixture.h"

namespace melodeck::test {
namespace {

// One application for the whole run, as widgets need.
class QtApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QApplication::instance()) m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "lyr_view_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};
const auto* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);  // gtest owns it

class ViewTest : public PlayerTest {
protected:
    CLyrView& makeView(int songCount = 0) {
        for (int i = 0; i < songCount; ++i) writeSong("v" + std::to_string(i) + ".kar");
        view = std::make_unique<CLyrView>(*doc, notifier, &volume);
        view->resize(320, 300);
        view->OnInitialUpdate();
        view->attachFrame(&frame);
        view->CreateFonts();
        fake->timid_set_parent_wnd(&view->synthListener());
        for (int i = 0; i < songCount; ++i)
            view->AddFile(songs.path() / ("v" + std::to_string(i) + ".kar"));
        frame.take();
        return *view;
    }
    QListWidget* list() const { return view->findChild<QListWidget*>(); }
    static QColor colourOf(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

    std::unique_ptr<CLyrView> view;
};

TEST_F(ViewTest, TheListMirrorsThePlaylistAndMarksTheCurrentSong) {
    auto& v = makeView(2);
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(v.itemCount(), 2);
    EXPECT_EQ(v.currentIndex(), 0);
    EXPECT_EQ(v.selectedIndex(), 0);
    EXPECT_EQ(list()->item(0)->text().toStdString(), "v0.kar");
    // The current song's image differs from the others'.
    EXPECT_NE(list()->item(0)->icon().pixmap(16, 16).toImage(),
              list()->item(1)->icon().pixmap(16, 16).toImage());
    v.NextSong();
    EXPECT_EQ(v.selectedIndex(), 1);
    EXPECT_EQ(list()->item(0)->icon().pixmap(16, 16).toImage(),
              list()->item(1)->icon().pixmap(16, 16).toImage().isNull()
                  ? QImage()
                  : ordinarySongIcon().pixmap(16, 16).toImage());
}

TEST_F(ViewTest, TheScreenShowsTheListFaceThenTheSongFace) {
    auto& v = makeView(1);
    const QImage& screen = v.screenImage();
    ASSERT_EQ(screen.size(), QSize(320, 300));
    EXPECT_TRUE(v.isListVisible());
    // Below the list, the playlist face is white.
    EXPECT_EQ(screen.pixelColor(160, 290), QColor(Qt::white));
    // The caption is drawn in the strip above the list.
    bool captionInk = false;
    for (int x = 10; x < 120 && !captionInk; ++x)
        for (int y = 5; y < 20 && !captionInk; ++y)
            captionInk = screen.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_TRUE(captionInk);

    doc->pictures.clear();  // black lyrics on white
    v.PlayCommand();
    fake->emit(SYNTH_MSG_TICK, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(v.isListVisible());
    // The first lyric line lies LAbove below the top, in black on white.
    int ink = 0;
    for (int y = doc->LAbove; y < doc->LAbove + 30; ++y)
        for (int x = 0; x < 320; ++x) ink += screen.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(ink, 20);
    EXPECT_FALSE(list()->isVisibleTo(&v));
    const Rect info = v.control().areas().infoBlock;
    EXPECT_EQ(screen.pixelColor(info.left + 20, (info.top + info.bottom) / 2 + 1),
              colourOf(kInfoBlockColour));

    v.StopCommand();
    EXPECT_TRUE(v.isListVisible());
    EXPECT_EQ(screen.pixelColor(160, 290), QColor(Qt::white));
}

TEST_F(ViewTest, ResizingWhileASongShowsRepaintsItsInfoBlockAtTheNewBottom) {
    auto& v = makeView(1);
    v.show();
    v.PlayCommand();
    fake->emit(SYNTH_MSG_TICK, 0);
    v.resize(400, 360);
    QCoreApplication::processEvents();
    const QImage& screen = v.screenImage();
    ASSERT_EQ(screen.size(), QSize(400, 360));
    const Rect info = v.control().areas().infoBlock;
    EXPECT_EQ(info.right, 400);
    EXPECT_GT(info.bottom, 300);
    EXPECT_EQ(screen.pixelColor(info.left + 20, (info.top + info.bottom) / 2 + 1),
              colourOf(kInfoBlockColour));
    EXPECT_EQ(v.control().engine().lyricArea().bottom, info.top - 1);
}

TEST_F(ViewTest, NotificationsFromAnotherThreadArriveOnTheUiThreadInOrder) {
    auto& v = makeView(1);
    v.PlayCommand();
    frame.take();
    std::thread audio([&] {
        v.synthListener().post(SYNTH_MSG_STARTED, 0);
        v.synthListener().post(SYNTH_MSG_LENGTH, 42);
        v.synthListener().post(SYNTH_MSG_POSITION, 3);
    });
    audio.join();
    EXPECT_TRUE(frame.calls.empty());  // nothing handled inside post()
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.take(), (std::vector<std::string>{"playback on", "editing off"}));
    EXPECT_EQ(v.control().totalSeconds(), 42);
    EXPECT_EQ(v.control().lastShownSeconds(), 3);
}

TEST_F(ViewTest, DestroyingTheViewStoresItsStateAndDetachesFromTheLibrary) {
    auto& v = makeView(2);
    v.NextSong();
    v.VolumeDown();
    v.OnDestroy();
    EXPECT_EQ(doc->ListInd, 1);
    EXPECT_EQ(doc->iVol, -1);
    EXPECT_EQ(fake->listener(), nullptr);
    view.reset();
    EXPECT_EQ(doc->ListInd, 1);  // the destructor does not run it again
}

}  // namespace
}  // namespace melodeck::test

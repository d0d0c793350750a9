// The whole program with the real synthesizer (rendering faster than real time), the real
// settings file and playlist files: two songs of a playlist, one after the other.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QToolBar>
#include <functional>

#include "app_files.h"
#include "c_lyr_app.h"
#include "c_main_frame.h"
#include "command_ids.h"
#include "fluid_synth_library.h"
#include "frame_fixture.h"
#include "lyr_doc.h"
#include "lyr_view.h"
#include "player_control.h"
#include "registry_values.h"
#include "settings_table.h"
#include "sqlite_registry.h"
#include "support/temp_dir.h"

namespace melodeck::test {
namespace {

namespace fs = std::filesystem;

// Runs the event loop until `done` holds; false after `seconds`.
bool spinUntil(const std::function<bool()>& done, int seconds = 120) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > seconds * 1000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Pixels painted in the sung colour (magenta, allowing for the edges of the glyphs).
int sungPixels(const QImage& screen) {
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qRed(line[x]) > 220 && qGreen(line[x]) < 40 && qBlue(line[x]) > 220) ++count;
        }
    }
    return count;
}

TEST(EndToEndTest, TwoSongsOfAPlaylistPlayWithTheirLyricsAndTheStateIsKept) {
    ensureWidgetApp();
    const TempDir home;
    const ScopedEnv dataHome("MELODECK_DATA_HOME", (home.path() / "data").string());
    const ScopedEnv configDir("MELODECK_CONFIG_DIR", (home.path() / "config").string());
    const fs::path first = home.path() / "first.kar";
    const fs::path second = home.path() / "second.kar";
    fs::copy_file(demoSong(), first);
    fs::copy_file(demoSong(), second);
    const fs::path list = home.path() / "two.m3u";
    writeM3u(list, {first, second});
    const fs::path settings = home.path() / "config" / "registry.sqlite3";

    AppStartOptions options;
    options.makeSynth = [](Notifier& notifier) {
        FluidSynthOptions synthOptions;
        synthOptions.sink = SinkKind::Fast;
        return std::make_unique<FluidSynthLibrary>(notifier, synthOptions);
    };
    options.registry = SqliteRegistry::open(settings, {});
    options.paths = AppPaths{"/usr/bin/melodeck", demoSong().parent_path().parent_path()};
    auto notifier = std::make_unique<RecordingNotifier>();
    RecordingNotifier& messages = *notifier;
    options.notifier = std::move(notifier);
    options.dialogs = std::make_unique<ScriptedDialogs>();
    std::string error;
    std::unique_ptr<CLyrApp> app = CLyrApp::start(list, std::move(options), error);
    ASSERT_TRUE(app) << error;

    CLyrView& view = app->view();
    CMainFrame& frame = app->frame();
    PlayerControl& control = view.control();
    ASSERT_EQ(view.itemCount(), 2);
    ASSERT_EQ(view.currentIndex(), 0);

    frame.runCommand(cmd::kPlay);
    EXPECT_FALSE(frame.playerToolbar()->isHidden());
    ASSERT_TRUE(spinUntil([&] { return control.displayActive() && control.lyricClockSynced(); }))
        << "the lyric display of the first song never started";
    ASSERT_TRUE(spinUntil([&] { return sungPixels(view.screenImage()) > 50; }))
        << "no syllable was painted in the sung colour";
    EXPECT_TRUE(frame.commandStates().isEnabled(cmd::kPause));
    EXPECT_FALSE(frame.commandStates().isEnabled(cmd::kDelete));

    // At its end the first song gives way to the second, which starts its own display.
    ASSERT_TRUE(spinUntil([&] {
        return view.currentIndex() == 1 && control.displayActive() &&
               view.libraryStatus() == SynthStatus::Playing;
    })) << "the second song never started";
    EXPECT_FALSE(frame.playerToolbar()->isHidden());

    frame.runCommand(cmd::kToneUp);
    // The notifier goes with the application.
    const std::vector<std::string> shown = messages.messages();
    app.reset();
    EXPECT_TRUE(shown.empty()) << shown.front();

    EXPECT_EQ(readM3u(home.path() / "data" / "default.m3u"),
              (std::vector<std::string>{first.string(), second.string()}));
    auto registry = SqliteRegistry::open(settings, {});
    ASSERT_TRUE(registry);
    auto key = registry->openKey(Hive::CurrentUser, kSettingsKeyPath);
    ASSERT_TRUE(key);
    const auto dword = [&](std::u16string_view name) -> std::optional<std::uint32_t> {
        const auto data = key->read(name, 4);
        if (!data || data->bytes.size() != 4) return std::nullopt;
        return data->bytes[0] | data->bytes[1] << 8 | data->bytes[2] << 16 |
               static_cast<std::uint32_t>(data->bytes[3]) << 24;
    };
    EXPECT_EQ(dword(u"ListInd"), 1u);
    EXPECT_EQ(dword(u"iTon"), 1u);
}

}  // namespace
}  // namespace melodeck::test

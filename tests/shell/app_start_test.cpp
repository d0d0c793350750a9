#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <memory>

#include "app_files.h"
#include "c_lyr_app.h"
#include "c_main_frame.h"
#include "command_ids.h"
#include "frame_fixture.h"
#include "lyr_doc.h"
#include "lyr_view.h"
#include "registry_values.h"
#include "settings_table.h"
#include "sqlite_registry.h"
#include "support/fake_synth_library.h"
#include "support/temp_dir.h"

namespace melodeck::test {
namespace {

namespace fs = std::filesystem;

// The application over a scripted synthesizer, a settings file and a data folder of its
// own, with three copies of the demo song to play.
class AppStartTest : public ::testing::Test {
protected:
    AppStartTest()
        : m_dataHome("MELODECK_DATA_HOME", (m_home.path() / "data").string()),
          m_configDir("MELODECK_CONFIG_DIR", (m_home.path() / "config").string()) {
        ensureWidgetApp();
        fs::create_directories(m_home.path() / "songs");
        for (const char* name : {"a.kar", "b.kar", "c.kar"}) {
            fs::copy_file(demoSong(), songs() / name);
        }
    }
    ~AppStartTest() override { m_app.reset(); }

    fs::path songs() const { return m_home.path() / "songs"; }
    fs::path defaultPlaylist() const { return m_home.path() / "data" / "default.m3u"; }
    fs::path settingsFile() const { return m_home.path() / "config" / "registry.sqlite3"; }

    // Starts the application; false (with m_error set) when start-up failed.
    bool start(std::optional<fs::path> file = std::nullopt) {
        AppStartOptions options;
        options.makeSynth = [this](Notifier&) {
            auto synth = std::make_unique<FakeSynthLibrary>();
            m_synth = synth.get();
            return synth;
        };
        options.registry = SqliteRegistry::open(settingsFile(), {});
        options.paths = AppPaths{"/usr/bin/melodeck", m_home.path()};
        auto notifier = std::make_unique<RecordingNotifier>();
        m_notifier = notifier.get();
        options.notifier = std::move(notifier);
        auto dialogs = std::make_unique<ScriptedDialogs>();
        m_dialogs = dialogs.get();
        options.dialogs = std::move(dialogs);
        m_app = CLyrApp::start(file, std::move(options), m_error);
        return m_app != nullptr;
    }
    void quit() { m_app.reset(); }

    std::optional<std::uint32_t> storedDword(std::u16string_view name) {
        auto registry = SqliteRegistry::open(settingsFile(), {});
        auto key = registry ? registry->openKey(Hive::CurrentUser, kSettingsKeyPath) : nullptr;
        if (!key) return std::nullopt;
        auto data = key->read(name, 4);
        if (!data || data->bytes.size() != 4) return std::nullopt;
        return data->bytes[0] | data->bytes[1] << 8 | data->bytes[2] << 16 |
               static_cast<std::uint32_t>(data->bytes[3]) << 24;
    }

    CLyrView& view() { return m_app->view(); }
    CMainFrame& frame() { return m_app->frame(); }
    CLyrDoc& doc() { return m_app->document(); }

    TempDir m_home;
    ScopedEnv m_dataHome;
    ScopedEnv m_configDir;
    std::unique_ptr<CLyrApp> m_app;
    FakeSynthLibrary* m_synth = nullptr;
    RecordingNotifier* m_notifier = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    std::string m_error;
};

std::u16string text(const fs::path& path) {
    const std::string s = path.string();
    return std::u16string(s.begin(), s.end());
}

TEST_F(AppStartTest, WithoutAFileTheRestoredPlaylistStaysAndNothingPlays) {
    fs::create_directories(defaultPlaylist().parent_path());
    writeM3u(defaultPlaylist(), {songs() / "a.kar", songs() / "b.kar"});
    ASSERT_TRUE(start()) << m_error;
    EXPECT_EQ(view().itemCount(), 2);
    EXPECT_EQ(view().currentIndex(), 0);
    EXPECT_TRUE(m_synth->played().empty());
    EXPECT_EQ(m_synth->listener(), &view().synthListener());
    EXPECT_TRUE(frame().isVisible());
    // Item 0 is selected, so the list commands are on.
    EXPECT_TRUE(frame().commandStates().isEnabled(cmd::kDelete));
    EXPECT_TRUE(frame().commandStates().isEnabled(cmd::kPlay));
}

TEST_F(AppStartTest, ASongReplacesThePlaylistPlaysAndIsAllThatIsSaved) {
    fs::create_directories(defaultPlaylist().parent_path());
    writeM3u(defaultPlaylist(), {songs() / "a.kar", songs() / "b.kar"});
    ASSERT_TRUE(start(songs() / "c.kar")) << m_error;
    EXPECT_EQ(view().itemCount(), 1);
    ASSERT_EQ(m_synth->played().size(), 1u);
    EXPECT_EQ(m_synth->played()[0], songs() / "c.kar");
    EXPECT_EQ(doc().lastFolder, text(songs()));
    quit();
    EXPECT_EQ(readM3u(defaultPlaylist()), std::vector<std::string>{(songs() / "c.kar").string()});
}

TEST_F(AppStartTest, ARelativeSongPathIsKeptAsAFullPath) {
    const fs::path before = fs::current_path();
    fs::current_path(songs());
    const bool started = start(fs::path("b.kar"));
    fs::current_path(before);
    ASSERT_TRUE(started) << m_error;
    ASSERT_EQ(m_synth->played().size(), 1u);
    EXPECT_EQ(m_synth->played()[0], songs() / "b.kar");
    EXPECT_EQ(doc().lastFolder, text(songs()));
}

TEST_F(AppStartTest, AFileThatIsNoSongEmptiesTheListAndPlaysNothing) {
    std::ofstream(songs() / "notes.txt") << "not a song";
    fs::create_directories(defaultPlaylist().parent_path());
    writeM3u(defaultPlaylist(), {songs() / "a.kar"});
    ASSERT_TRUE(start(songs() / "notes.txt")) << m_error;
    EXPECT_EQ(view().itemCount(), 0);
    EXPECT_TRUE(m_synth->played().empty());
    EXPECT_EQ(doc().lastFolder, text(songs()));
}

TEST_F(AppStartTest, APlaylistReplacesTheListWithoutPlaying) {
    const fs::path lists = m_home.path() / "lists";
    fs::create_directories(lists);
    writeM3u(lists / "party.M3U", {songs() / "a.kar", songs() / "b.kar", songs() / "c.kar"});
    ASSERT_TRUE(start(lists / "party.M3U")) << m_error;
    EXPECT_EQ(view().itemCount(), 3);
    EXPECT_EQ(view().currentIndex(), 0);
    EXPECT_TRUE(m_synth->played().empty());
    EXPECT_EQ(doc().lastFolder, text(lists));
}

TEST_F(AppStartTest, AMissingFileEndsStartUpBeforeAnyWindowAndKeepsThePlaylist) {
    fs::create_directories(defaultPlaylist().parent_path());
    writeM3u(defaultPlaylist(), {songs() / "a.kar", songs() / "b.kar"});
    const std::string before = readBytes(defaultPlaylist());
    EXPECT_FALSE(start(songs() / "gone.kar"));
    EXPECT_NE(m_error.find("Cannot open file"), std::string::npos) << m_error;
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_EQ(readBytes(defaultPlaylist()), before);
}

TEST_F(AppStartTest, TheViewsStateReachesTheSettingsAtExit) {
    const fs::path lists = m_home.path() / "lists";
    fs::create_directories(lists);
    writeM3u(lists / "three.m3u", {songs() / "a.kar", songs() / "b.kar", songs() / "c.kar"});
    ASSERT_TRUE(start(lists / "three.m3u")) << m_error;
    frame().runCommand(cmd::kNextSong);
    frame().runCommand(cmd::kNextSong);
    frame().runCommand(cmd::kToneUp);
    frame().runCommand(cmd::kRepeat);
    ASSERT_EQ(view().currentIndex(), 2);
    quit();
    EXPECT_EQ(storedDword(u"ListInd"), 2u);
    EXPECT_EQ(storedDword(u"iTon"), 1u);
    EXPECT_EQ(storedDword(u"Repeat"), 1u);
    EXPECT_EQ(readM3u(defaultPlaylist()).size(), 3u);
}

TEST_F(AppStartTest, PlaylistCommandsGoThroughTheirDialogs) {
    ASSERT_TRUE(start()) << m_error;
    m_dialogs->files.push_back(text(songs() / "b.kar"));
    frame().runCommand(cmd::kAddFile);
    EXPECT_EQ(view().itemCount(), 1);
    EXPECT_EQ(view().currentIndex(), 0);

    const fs::path saved = m_home.path() / "saved.m3u";
    m_dialogs->files.push_back(text(saved));
    frame().runCommand(cmd::kSavePlaylist);
    EXPECT_EQ(readM3u(saved), std::vector<std::string>{(songs() / "b.kar").string()});

    const fs::path other = m_home.path() / "other.m3u";
    writeM3u(other, {songs() / "a.kar", songs() / "c.kar"});
    m_dialogs->files.push_back(text(other));
    frame().runCommand(cmd::kOpenPlaylist);
    EXPECT_EQ(view().itemCount(), 2);
    EXPECT_EQ(doc().lastFolder, text(m_home.path()));

    m_dialogs->files.push_back(std::nullopt);  // cancelled: nothing changes
    frame().runCommand(cmd::kOpenPlaylist);
    EXPECT_EQ(view().itemCount(), 2);
    EXPECT_EQ(m_dialogs->startFolders.back(), text(m_home.path()));
}

}  // namespace
}  // namespace melodeck::test

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "m3u.h"
#include "playlist.h"
#include "support/fake_synth_library.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<fs::path>;
using Log = std::vector<std::string>;

// Writes what the playlist tells its view as short lines: "insert 0 Title*" (* = current),
// "remove 1", "made 0", "cleared 0", "select 2", "stop".
class RecordingObserver final : public PlaylistObserver {
public:
    void entryInserted(int index, const PlaylistEntry& entry) override {
        std::string name(entry.displayName.begin(), entry.displayName.end());
        log.push_back("insert " + std::to_string(index) + " " + name +
                      (entry.isCurrent ? "*" : ""));
    }
    void entryRemoved(int index) override { log.push_back("remove " + std::to_string(index)); }
    void currentMade(int index) override { log.push_back("made " + std::to_string(index)); }
    void currentCleared(int index) override { log.push_back("cleared " + std::to_string(index)); }
    void selectRequested(int index) override { log.push_back("select " + std::to_string(index)); }
    void stopRequested() override { log.push_back("stop"); }
    Log take() { return std::exchange(log, {}); }
    Log log;
};

// Points MELODECK_DATA_HOME at `folder` while it lives.
class DataHome {
public:
    explicit DataHome(const fs::path& folder) { setenv("MELODECK_DATA_HOME", folder.c_str(), 1); }
    ~DataHome() { unsetenv("MELODECK_DATA_HOME"); }
};

class PlaylistTest : public ::testing::Test {
protected:
    PlaylistTest() { list.setObserver(&observer); }

    // A song file named `name` in the temporary folder with the title `title`.
    fs::path song(const std::string& name, std::u16string title = u"") {
        const fs::path path = dir.path() / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14);
        // Like the synthesizer, one character per byte of the (here: file) name.
        if (title.empty()) {
            for (const char c : name) title.push_back(static_cast<unsigned char>(c));
        }
        synth.setTitle(path, std::move(title));
        return path;
    }
    void text(const std::string& name, const std::string& contents) {
        std::ofstream(dir.path() / name, std::ios::binary) << contents;
    }
    // Three songs titled A, B, C; B is current.
    void threeSongsWithSecondCurrent() {
        for (const char* n : {"A", "B", "C"}) list.AddSongFile(song(n));
        list.MoveCurrentTo(1);
        observer.take();
    }
    std::string names() const {
        std::string out;
        for (int i = 0; i < list.count(); ++i) {
            const auto& e = list.entry(i);
            out +=
                std::string(e.displayName.begin(), e.displayName.end()) + (e.isCurrent ? "*" : "");
        }
        return out;
    }
    Paths fileNames() const {
        Paths out;
        for (const auto& p : list.paths()) out.push_back(p.lexically_relative(dir.path()));
        return out;
    }

    test::TempDir dir;
    test::FakeSynthLibrary synth;
    RecordingObserver observer;
    Playlist list{synth};
};

TEST_F(PlaylistTest, OnlyRegularFilesStartingWithMThdAreAdded) {
    text("notes.kar", "RIFF....");
    text("short.kar", "MTh");
    fs::create_directory(dir.path() / "folder.kar");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.kar").c_str(), 0600), 0);
    for (const char* name : {"notes.kar", "short.kar", "folder.kar", "pipe.kar", "missing.kar"}) {
        EXPECT_FALSE(list.AddSongFile(dir.path() / name)) << name;
    }
    EXPECT_TRUE(list.AddSongFile(song("real.kar", u"Real")));
    EXPECT_EQ(observer.take(), Log{"insert 0 Real"});
    EXPECT_TRUE(list.paths().front().is_absolute());
    // Paths a playlist could not hold are refused as well.
    const std::string deep(kM3uLineUnits - dir.path().native().size(), 'd');
    EXPECT_FALSE(list.AddSongFile(song(deep + "/x.kar")));
    EXPECT_FALSE(list.AddSongFile(song("two\nlines.kar")));
    EXPECT_EQ(list.count(), 1);
}

TEST_F(PlaylistTest, DisplayNamesAreTitlesOrFileNames) {
    list.AddSongFile(song("titled.kar", u"Yesterday"));
    list.AddSongFile(song("blank.kar", u" @@ "));
    list.setNaming({.useFileName = true});
    list.AddSongFile(song("ufn.kar", u"Hidden title"));
    EXPECT_EQ(names(), "Yesterdayblank.karufn.kar");
    // The playlist file holds full paths whatever the list shows.
    ASSERT_TRUE(list.WritePlaylist(dir.path() / "l.m3u"));
    EXPECT_EQ(readM3uFile(dir.path() / "l.m3u"), list.paths());
}

TEST_F(PlaylistTest, TitlesAreConvertedThroughTheTableUnlessEnglish) {
    RecordingNotifier notifier;
    CLyrText engine(notifier);
    engine.loadCharTable(3005);  // byte 0x80 is the euro sign
    const fs::path euro = song("euro.kar", u"\u0080 5");
    const fs::path named = song("\xD0\x96.kar", u" ");  // U+0416, no title

    list.setNaming({.lyricCode = kLanguageEnglish, .charTable = &engine});
    EXPECT_EQ(list.titleOf(euro), u"\u0080 5");
    list.setNaming({.lyricCode = 3005, .charTable = &engine});
    EXPECT_EQ(list.titleOf(euro), u"\u20AC 5");
    // A file name is Unicode already: converting it by bytes would garble it.
    EXPECT_EQ(list.titleOf(named), u"\u0416.kar");
}

TEST_F(PlaylistTest, ScanAddsKarThenMidThenMidiThenSubfoldersDepthFirst) {
    song("top/b.mid");
    song("top/a.kar");
    song("top/c.midi");
    song("top/D.KAR");
    song("top/notes.txt");
    text("top/fake.kar", "not a song");
    song("top/sub1/e.kar");
    song("top/sub1/deeper/f.mid");
    song("top/sub2/g.kar");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top/sub2/loop");

    list.ScanFolder(dir.path() / "top", false);
    Paths found = fileNames();
    ASSERT_EQ(found.size(), 4u);
    std::sort(found.begin(), found.begin() + 2);  // one group comes in the file system's order
    EXPECT_EQ(found, (Paths{"top/D.KAR", "top/a.kar", "top/b.mid", "top/c.midi"}));

    list.DeleteAll();
    list.ScanFolder(dir.path() / "top", true);
    found = fileNames();
    ASSERT_EQ(found.size(), 7u);
    const Paths below(found.begin() + 4, found.end());
    const Paths sub1First = {"top/sub1/e.kar", "top/sub1/deeper/f.mid", "top/sub2/g.kar"};
    const Paths sub2First = {"top/sub2/g.kar", "top/sub1/e.kar", "top/sub1/deeper/f.mid"};
    EXPECT_TRUE(below == sub1First || below == sub2First);
}

TEST_F(PlaylistTest, LoadingMakesTheFirstSongCurrentOnlyWhenThereWasNone) {
    const Paths songs = {song("a.kar", u"A"), song("b.kar", u"B")};
    ASSERT_TRUE(writeM3uFile(dir.path() / "l.m3u", songs));
    list.ReadPlaylist(dir.path() / "l.m3u");
    EXPECT_EQ(observer.take(), (Log{"insert 0 A", "insert 1 B", "select 0", "made 0"}));

    list.MoveCurrentTo(1);
    observer.take();
    list.ReadPlaylist(dir.path() / "l.m3u");
    EXPECT_EQ(observer.take(), (Log{"insert 2 A", "insert 3 B"}));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(names(), "AB*AB");
}

TEST_F(PlaylistTest, PlaylistsNamingNoSongAddNothing) {
    const fs::path a = song("a.kar");
    text("eight-bit.m3u", "#EXTM3U\r\n" + a.native() + "\r\n");
    list.ReadPlaylist(dir.path() / "eight-bit.m3u");
    list.ReadPlaylist(dir.path() / "missing.m3u");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_TRUE(observer.log.empty());
}

TEST_F(PlaylistTest, SongsWithAnyFileNameSurviveWriteAndRead) {
    const Paths songs = {song("\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F.kar"), song("caf\xE9.mid"),
                         song("\xF0\x9F\x8E\xA4.kar")};
    for (const auto& s : songs) list.AddSongFile(s);
    ASSERT_TRUE(list.WritePlaylist(dir.path() / "l.m3u"));
    Playlist again(synth);
    again.ReadPlaylist(dir.path() / "l.m3u");
    EXPECT_EQ(again.paths(), songs);
    EXPECT_EQ(again.entry(1).displayName, u"caf\xE9.mid");  // the fake's title, byte by byte
}

TEST_F(PlaylistTest, MovingTheCurrentSongKeepsItCurrent) {
    threeSongsWithSecondCurrent();
    list.MoveDown(1);
    EXPECT_EQ(observer.take(), (Log{"remove 1", "insert 2 B*", "select 2"}));
    EXPECT_EQ(names(), "ACB*");
    EXPECT_EQ(list.currentIndex(), 2);
    list.MoveUp(2);
    list.MoveUp(1);
    EXPECT_EQ(names(), "B*AC");
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(PlaylistTest, NextAndPreviousWrapAround) {
    threeSongsWithSecondCurrent();
    list.MakeNextCurrent();
    EXPECT_EQ(observer.take(), (Log{"cleared 1", "made 2"}));
    list.MakeNextCurrent();
    EXPECT_EQ(names(), "A*BC");
    list.MakePreviousCurrent();
    EXPECT_EQ(names(), "ABC*");
}

TEST_F(PlaylistTest, TheLastRunsCurrentSongIsRestoredOnlyWhenItStillExists) {
    threeSongsWithSecondCurrent();
    list.MoveCurrentTo(0);
    observer.take();
    list.RestoreCurrent(2);
    EXPECT_EQ(observer.take(), (Log{"select 2", "cleared 0", "made 2"}));
    list.RestoreCurrent(0);
    EXPECT_EQ(observer.take(), Log{"select 0"});
    list.RestoreCurrent(3);
    list.RestoreCurrent(-1);
    EXPECT_TRUE(observer.log.empty());
    EXPECT_EQ(names(), "ABC*");
}

TEST_F(PlaylistTest, TheEndsDoNotMoveAndNoSelectionMovesNothing) {
    threeSongsWithSecondCurrent();
    list.MoveUp(0);
    list.MoveDown(2);
    list.MoveUp(-1);
    list.MoveDown(3);
    list.DeleteItem(-1);
    EXPECT_EQ(names(), "AB*C");
    EXPECT_TRUE(observer.log.empty());
}

TEST_F(PlaylistTest, DeletingTheCurrentSongStopsAndMakesTheFirstCurrent) {
    threeSongsWithSecondCurrent();
    list.DeleteItem(1);
    EXPECT_EQ(observer.take(), (Log{"stop", "cleared 1", "remove 1", "made 0"}));
    EXPECT_EQ(names(), "A*C");

    list.DeleteItem(1);  // not the current song: playback goes on
    EXPECT_EQ(observer.take(), Log{"remove 1"});
    list.DeleteItem(0);
    EXPECT_EQ(observer.take(), (Log{"stop", "cleared 0", "remove 0"}));
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(PlaylistTest, DeletingBeforeTheCurrentSongFollowsIt) {
    threeSongsWithSecondCurrent();
    list.DeleteItem(0);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(names(), "B*C");
}

TEST_F(PlaylistTest, DeleteAllStopsAndRemovesFromTheLast) {
    threeSongsWithSecondCurrent();
    list.DeleteAll();
    EXPECT_EQ(observer.take(), (Log{"stop", "cleared 1", "remove 2", "remove 1", "remove 0"}));
    EXPECT_EQ(list.currentIndex(), -1);
}

TEST_F(PlaylistTest, TheDefaultPlaylistLivesInTheUsersDataFolder) {
    DataHome home(dir.path() / "data" / "Melodeck");
    for (const char* n : {"a.kar", "b.kar"}) list.AddSongFile(song(n));
    ASSERT_TRUE(list.SaveDefaultPlaylist());
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "data/Melodeck/default.m3u"));
    Playlist next(synth);
    next.LoadDefaultPlaylist();
    EXPECT_EQ(next.paths(), list.paths());
    EXPECT_EQ(next.currentIndex(), 0);

    unsetenv("MELODECK_DATA_HOME");
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    setenv("XDG_DATA_HOME", "/xdg", 1);
    EXPECT_EQ(Playlist::defaultPlaylistFile(), fs::path("/xdg/Melodeck/default.m3u"));
    setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
    if (const char* userHome = std::getenv("HOME")) {
        EXPECT_EQ(Playlist::defaultPlaylistFile(),
                  fs::path(userHome) / ".local/share/Melodeck/default.m3u");
    }
    if (oldXdg)
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST_F(PlaylistTest, RebuildRenamesEverySongAndKeepsThemWhenTheSaveFails) {
    text("file", "a file where the data folder should be");
    DataHome home(dir.path() / "file" / "Melodeck");
    threeSongsWithSecondCurrent();
    const Paths before = list.paths();
    EXPECT_FALSE(list.SaveDefaultPlaylist());
    synth.setTitle(before[0], u"New title");
    list.Rebuild({});
    EXPECT_EQ(list.paths(), before);
    EXPECT_EQ(names(), "New title*BC");
    EXPECT_EQ(observer.take().front(), "stop");
}

}  // namespace
}  // namespace melodeck

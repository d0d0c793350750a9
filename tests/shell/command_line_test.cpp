#include <gtest/gtest.h>

#include "command_line.h"

namespace melodeck {
namespace {

TEST(PlaylistPathTest, LastDotDecidesAndCaseDoesNot) {
    EXPECT_TRUE(isPlaylistPath(u"/home/a/list.m3u"));
    EXPECT_TRUE(isPlaylistPath(u"/home/a/LIST.M3U"));
    EXPECT_TRUE(isPlaylistPath(u"/home/a.b/list.tar.M3u"));
    EXPECT_FALSE(isPlaylistPath(u"/home/a/list.m3u8"));
    EXPECT_FALSE(isPlaylistPath(u"/home/a/m3u"));
    EXPECT_FALSE(isPlaylistPath(u"/home/a.m3u/song.kar"));
    EXPECT_FALSE(isPlaylistPath(u"/home/a/list.m3"));
    EXPECT_FALSE(isPlaylistPath(u"/home/a/list."));
    EXPECT_FALSE(isPlaylistPath(u""));
}

TEST(PlaylistPathTest, FolderIsEverythingBeforeTheLastSlash) {
    EXPECT_EQ(folderOfPath(u"/home/a/song.kar", 259), u"/home/a");
    EXPECT_EQ(folderOfPath(u"/song.kar", 259), u"");
    EXPECT_EQ(folderOfPath(u"song.kar", 259), u"song.kar");
    const std::u16string deep = u"/" + std::u16string(300, u'x') + u"/s.kar";
    EXPECT_EQ(folderOfPath(deep, 259).size(), 259u);
}

TEST(CommandLineTest, OneFileRuns) {
    const CommandLine none = parseCommandLine({});
    EXPECT_EQ(none.action, CommandLine::Action::Run);
    EXPECT_FALSE(none.file);

    const CommandLine song = parseCommandLine({"song.kar"});
    EXPECT_EQ(song.action, CommandLine::Action::Run);
    EXPECT_EQ(song.file, "song.kar");

    const CommandLine dashed = parseCommandLine({"--", "-odd.kar"});
    EXPECT_EQ(dashed.action, CommandLine::Action::Run);
    EXPECT_EQ(dashed.file, "-odd.kar");
}

TEST(CommandLineTest, HelpAndVersionWinOverMistakes) {
    EXPECT_EQ(parseCommandLine({"a", "b", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parseCommandLine({"--bogus", "--version"}).action, CommandLine::Action::Version);
}

TEST(CommandLineTest, UnknownOptionsAndSecondFilesAreErrors) {
    const CommandLine bogus = parseCommandLine({"--bogus"});
    EXPECT_EQ(bogus.action, CommandLine::Action::Error);
    EXPECT_NE(bogus.error.find("--bogus"), std::string::npos);
    EXPECT_EQ(parseCommandLine({"a.kar", "b.kar"}).action, CommandLine::Action::Error);
    // A lone "-" is a file name, as is usual.
    EXPECT_EQ(parseCommandLine({"-"}).file, "-");
}

}  // namespace
}  // namespace melodeck

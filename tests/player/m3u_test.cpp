#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "m3u.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

namespace fs = std::filesystem;
using namespace std::literals;
using Paths = std::vector<fs::path>;

// The bytes of `text` as UTF-16LE units, one unit per character of `text`.
std::vector<std::uint8_t> units(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t u : text) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

Paths parse(std::u16string_view text, const fs::path& playlist = "/lists/my.m3u") {
    return parseM3u(units(text), playlist);
}

std::vector<std::uint8_t> fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(M3uFormat, EmptyListIsTheHeaderLineAloneInEighteenBytes) {
    const std::vector<std::uint8_t> expected = {'#', 0,   'E', 0,   'X', 0,    'T', 0,    'M',
                                                0,   '3', 0,   'U', 0,   0x0D, 0,   0x0A, 0};
    EXPECT_EQ(encodeM3u({}), expected);
}

TEST(M3uFormat, EachPathIsOneUtf16LineEndingInCrLf) {
    const Paths paths = {"/a.kar", "/songs/\xD0\x96.mid"};  // U+0416 in UTF-8
    EXPECT_EQ(encodeM3u(paths), units(u"#EXTM3U\r\n/a.kar\r\n/songs/\u0416.mid\r\n"));
}

TEST(M3uFormat, EveryFileNameComesBackWithItsExactBytes) {
    const Paths paths = {
        "/m\xC3\xBAsica/\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F.kar",  // UTF-8, two scripts
        "/emoji/\xF0\x9F\x8E\xA4.mid",                                  // above U+FFFF
        "/latin1/caf\xE9.kar",                                          // not UTF-8
        "/bad/\xFF\xFE\xC3.mid",                                        // stray bytes
        "/bad/\xED\xB2\x80.mid",  // a surrogate written as UTF-8 is not UTF-8 either
        "/bad/\xC0\xAF.kar",      // an overlong "/"
    };
    EXPECT_EQ(parseM3u(encodeM3u(paths), "/l.m3u"), paths);
    // What is not UTF-8 is kept as lone surrogates, never as characters a name could hold.
    EXPECT_EQ(m3uTextOfPath("/caf\xE9"), u"/caf\xDCE9");
    EXPECT_EQ(pathOfM3uText(u"/x\xD800y\xDFFF"), fs::path("/x\xEF\xBF\xBDy\xEF\xBF\xBD"));
}

TEST(M3uFormat, PathsThatWouldReadBackAsSomethingElseAreLeftOut) {
    const fs::path longest = "/" + std::string(kM3uLineUnits - 1, 'a');
    const Paths refused = {"/" + std::string(kM3uLineUnits, 'a'),
                           "/x\n/other.kar",
                           "/x\r/other.kar",
                           "#x.kar",
                           "%/x.kar",
                           ""};
    Paths all = refused;
    all.push_back(longest);
    EXPECT_EQ(parseM3u(encodeM3u(all), "/l.m3u"), Paths{longest});
}

// Whatever a playlist file holds, each path read from it that a playlist can hold is
// written and read back unchanged.
TEST(M3uFormat, EveryPathReadIsWrittenBackTheSame) {
    std::mt19937 random(20261208);
    // Separators, line ends, markers, characters of every width, lone surrogates, NUL.
    const std::u16string_view alphabet =
        u"/a%#\r\n\\ \u00E9\u0416\xD83C\xDFA4\xDCFF\xDC41\xD800\0"sv;
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        const std::size_t length = random() % 600;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(alphabet[random() % alphabet.size()]);
        for (const fs::path& path : parse(text)) {
            ASSERT_EQ(pathOfM3uText(m3uTextOfPath(path)), path);
            if (!m3uCanHold(path)) continue;
            ASSERT_EQ(parseM3u(encodeM3u(Paths{path}), "/l.m3u"), Paths{path});
        }
    }
}

TEST(M3uFormat, CommentsLineFeedsAndCarriageReturnsFollowTheLineRules) {
    EXPECT_EQ(parse(u"#EXTM3U\r\n#EXTINF:12,Song\r\n/a.kar\r\n"), Paths{"/a.kar"});
    // Only a CR ends the path: a line ending in a bare LF keeps it and names no file.
    EXPECT_EQ(parse(u"/a.kar\n/b.kar\r\n"), (Paths{"/a.kar\n", "/b.kar"}));
    EXPECT_EQ(parse(u"/a.kar\rrest\r\n\r\n/b.kar"), (Paths{"/a.kar", "/b.kar"}));
    EXPECT_EQ(parse(std::u16string(u"/a.kar\0junk\r\n", 13)), Paths{"/a.kar"});
    EXPECT_EQ(parse(u" #not a comment\r\n"), Paths{" #not a comment"});
}

TEST(M3uFormat, PercentLinesNameFilesBesideThePlaylist) {
    EXPECT_EQ(parse(u"%\\x.kar\r\n%/y.kar\r\n%/sub/z.kar\r\n", "/Storage/Lists/my.m3u"),
              (Paths{"/Storage/Lists/x.kar", "/Storage/Lists/y.kar", "/Storage/Lists/sub/z.kar"}));
    // Only the separator right after "%" is changed; the rest is taken as it stands.
    EXPECT_EQ(parse(u"%\\a\\b.kar\r\n%c.kar\r\n", "/L/my.m3u"), (Paths{"/L/a\\b.kar", "/Lc.kar"}));
    EXPECT_EQ(parse(u"%/x.kar\r\n", "my.m3u"), Paths{"./x.kar"});
    EXPECT_EQ(parse(u"%/x.kar\r\n", "/my.m3u"), Paths{"/x.kar"});
}

TEST(M3uFormat, LongLinesAreReadInPiecesOf259Units) {
    const std::u16string first(kM3uLineUnits, u'a');
    const std::u16string second(41, u'b');
    EXPECT_EQ(parse(first + second + u"\r\n"),
              (Paths{fs::path(std::string(kM3uLineUnits, 'a')), fs::path(std::string(41, 'b'))}));
    // Each piece is a line of its own, so a piece can even be a comment.
    EXPECT_EQ(parse(first + u"#comment\r\n/c.kar\r\n").size(), 2u);
    // A line of exactly 259 units before its CR LF leaves a piece of CR LF, which is empty.
    EXPECT_EQ(parse(first + u"\r\n/c.kar\r\n").back(), fs::path("/c.kar"));
}

TEST(M3uFormat, AnOddLastByteIsIgnored) {
    auto bytes = units(u"/a.kar\r\n/b");
    bytes.push_back('c');
    EXPECT_EQ(parseM3u(bytes, "/l.m3u"), (Paths{"/a.kar", "/b"}));
}

TEST(M3uFile, WhatCannotBeReadAsAFileGivesNothing) {
    test::TempDir dir;
    EXPECT_TRUE(readM3uFile(dir.path() / "missing.m3u").empty());
    EXPECT_TRUE(readM3uFile(dir.path()).empty());
    // A named pipe with no writer would block a plain open.
    const fs::path fifo = dir.path() / "pipe.m3u";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(readM3uFile(fifo).empty());
}

TEST(M3uFile, AFileLongerThanTheLimitIsReadToItsLastWholeLine) {
    test::TempDir dir;
    const std::u16string line = u"/" + std::u16string(97, u'x') + u"\r\n";  // 200 bytes
    const std::size_t lineBytes = line.size() * 2;
    const std::size_t lines = kMaxM3uFileBytes / lineBytes + 2;  // the limit falls mid-line
    std::u16string text;
    text.reserve(lines * line.size());
    for (std::size_t i = 0; i < lines; ++i) text += line;
    writeBytes(dir.path() / "big.m3u", units(text));

    const Paths paths = readM3uFile(dir.path() / "big.m3u");
    EXPECT_EQ(paths.size(), kMaxM3uFileBytes / lineBytes);
    EXPECT_EQ(paths.back(), fs::path("/" + std::string(97, 'x')));
}

TEST(M3uFile, WritingReplacesTheFileWhole) {
    test::TempDir dir;
    const fs::path file = dir.path() / "list.m3u";
    ASSERT_TRUE(writeM3uFile(file, Paths{"/old.kar"}));
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(writeM3uFile(file, Paths{"/new.kar"}));
    EXPECT_EQ(readM3uFile(file), Paths{"/new.kar"});
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"list.m3u"});

    // Through a link the link stays, and what it points to is replaced.
    fs::create_symlink(file, dir.path() / "link.m3u");
    ASSERT_TRUE(writeM3uFile(dir.path() / "link.m3u", Paths{"/linked.kar"}));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.m3u"));
    EXPECT_EQ(readM3uFile(file), Paths{"/linked.kar"});
}

TEST(M3uFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    test::TempDir dir;
    const fs::path file = dir.path() / "list.m3u";
    ASSERT_TRUE(writeM3uFile(file, Paths{"/old.kar"}));
    const auto before = fileBytes(file);
    for (const auto fault : {AtomicWriteFault::Create, AtomicWriteFault::Write,
                             AtomicWriteFault::Sync, AtomicWriteFault::Rename}) {
        EXPECT_FALSE(writeM3uFile(file, Paths{"/new.kar"}, fault));
        EXPECT_EQ(fileBytes(file), before);
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"list.m3u"});
    }
    // Real failures: a folder that does not exist, a folder in the file's place.
    EXPECT_FALSE(writeM3uFile(dir.path() / "none" / "list.m3u", Paths{}));
    fs::create_directory(dir.path() / "taken.m3u");
    EXPECT_FALSE(writeM3uFile(dir.path() / "taken.m3u", Paths{}));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"list.m3u", "taken.m3u"}));
    if (::geteuid() != 0) {  // permissions do not stop root
        ::chmod(dir.path().c_str(), 0555);
        EXPECT_FALSE(writeM3uFile(file, Paths{"/new.kar"}));
        ::chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(fileBytes(file), before);
    }
}

}  // namespace
}  // namespace melodeck

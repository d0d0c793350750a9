#include <gtest/gtest.h>

#include "app_paths.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

TEST(AppPaths, InstalledProgramFindsItsDataUnderShare) {
    test::TempDir prefix;
    std::filesystem::create_directories(prefix.path() / "bin");
    std::filesystem::create_directories(prefix.path() / "share" / "melodeck");
    const AppPaths paths = AppPaths::forProgram(prefix.path() / "bin" / "melodeck");
    EXPECT_EQ(paths.dataFolder, prefix.path() / "share" / "melodeck");
    EXPECT_EQ(paths.programFolderText(), pathText(prefix.path() / "share" / "melodeck") + u"/");

    // Anywhere else the program runs from a build tree and uses the source tree's data.
    const AppPaths built = AppPaths::forProgram(prefix.path() / "build" / "shell" / "melodeck");
    EXPECT_NE(built.dataFolder, paths.dataFolder);
    EXPECT_EQ(built.programFolderText().back(), u'/');
}

TEST(AppPaths, PathsThatAreNotUtf8StillBecomeText) {
    EXPECT_EQ(pathText("/home/\xd0\x9f\xd0\xb5/\xf0\x9f\x8e\xa4"), u"/home/Пе/🎤");
    // Stray bytes, an overlong form and a cut-off sequence each become U+FFFD.
    EXPECT_EQ(pathText("/a\xff"
                       "b\xc0\xaf"
                       "c\xe2\x82"),
              u"/a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD");
}

}  // namespace
}  // namespace melodeck

#include <gtest/gtest.h>

#include "app_runner.h"
#include "support/temp_dir.h"

namespace melodeck::test {
namespace {

// Every run gets its own settings and data folders, so nothing reaches the user's own.
class AppCommandLineTest : public ::testing::Test {
protected:
    AppRun run(const std::vector<std::string>& args,
               std::map<std::string, std::optional<std::string>> env = {}) {
        env.emplace("MELODECK_CONFIG_DIR", (m_home.path() / "config").string());
        env.emplace("XDG_CONFIG_HOME", (m_home.path() / "config").string());
        env.emplace("XDG_DATA_HOME", (m_home.path() / "data").string());
        env.emplace("QT_QPA_PLATFORM", "offscreen");
        return runApp(args, env);
    }
    TempDir m_home;
};

TEST_F(AppCommandLineTest, HelpAndVersionPrintWithoutADisplay) {
    const std::map<std::string, std::optional<std::string>> headless = {
        {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt},
        {"QT_QPA_PLATFORM", std::nullopt}};
    const AppRun help = run({"--help"}, headless);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: melodeck [FILE]"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const AppRun version = run({"--version"}, headless);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("melodeck ", 0), 0u) << version.out;
}

TEST_F(AppCommandLineTest, NoDisplayIsReportedInsteadOfCrashing) {
    const AppRun result = run({}, {{"DISPLAY", std::nullopt},
                                   {"WAYLAND_DISPLAY", std::nullopt},
                                   {"QT_QPA_PLATFORM", std::nullopt}});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("no display"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(AppCommandLineTest, UnknownOptionsAndExtraFilesAreRefused) {
    const AppRun bogus = run({"--bogus"});
    EXPECT_EQ(bogus.exitCode, 2);
    EXPECT_NE(bogus.err.find("--bogus"), std::string::npos) << bogus.err;
    EXPECT_EQ(run({"a.kar", "b.kar"}).exitCode, 2);
}

TEST_F(AppCommandLineTest, MissingFileEndsTheProgramWithAMessage) {
    const std::string missing = (m_home.path() / "no such song.kar").string();
    const AppRun result = run({missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Cannot open file"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("no such song.kar"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace melodeck::test

// Finding the SoundFonts of an instrument setup: a SoundFont named directly, a TiMidity-style
// configuration file, the default search, and what is reported when something is missing.

#include <gtest/gtest.h>

#include <fstream>

#include "instrument_setup.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

namespace fs = std::filesystem;

class InstrumentSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(program());
        fs::create_directories(system());
        m_search.programDir = program();
        m_search.systemDirs = {system()};
        m_search.defaultSoundFont = m_dir.path() / "default-GM.sf2";
    }
    fs::path program() const { return m_dir.path() / "bin"; }
    fs::path system() const { return m_dir.path() / "etc"; }
    fs::path write(const fs::path& path, const std::string& text = "sf2") {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path;
    }

    test::TempDir m_dir;
    InstrumentSearch m_search;
};

TEST_F(InstrumentSetupTest, SoundFontNamedDirectlyOrBesideTheProgram) {
    const fs::path absolute = write(m_dir.path() / "fonts" / "Big.SF2");
    EXPECT_EQ(resolveInstrumentSetup(absolute.u16string(), m_search).soundFonts,
              std::vector<fs::path>{absolute});
    const fs::path beside = write(program() / "mine.sf3");
    const InstrumentSetup setup = resolveInstrumentSetup(u"mine.sf3", m_search);
    EXPECT_EQ(setup.soundFonts, std::vector<fs::path>{beside});
    EXPECT_TRUE(setup.problem.empty());
}

TEST_F(InstrumentSetupTest, MissingNamedSoundFontIsReportedNotReplaced) {
    write(m_search.defaultSoundFont);
    const InstrumentSetup setup = resolveInstrumentSetup(u"/nowhere/gone.sf2", m_search);
    EXPECT_TRUE(setup.soundFonts.empty());
    EXPECT_NE(setup.problem.find("/nowhere/gone.sf2"), std::string::npos);
}

TEST_F(InstrumentSetupTest, NamesAreUtf16AndBrokenOnesAreMerelyNotFound) {
    const fs::path cyrillic =
        write(program() / "\xD0\x97\xD0\xB2\xD1\x83\xD0\xBA.sf2");  // "Звук.sf2"
    EXPECT_EQ(resolveInstrumentSetup(u"\u0417\u0432\u0443\u043A.sf2", m_search).soundFonts,
              std::vector<fs::path>{cyrillic});
    const std::u16string unpaired{u'a', char16_t(0xD800), u'.', u's', u'f', u'2'};
    EXPECT_FALSE(resolveInstrumentSetup(unpaired, m_search).problem.empty());
}

TEST_F(InstrumentSetupTest, DefaultNameWithoutConfigurationUsesDefaultSoundFont) {
    write(m_search.defaultSoundFont);
    for (const std::u16string name : {u"timidity.cfg", u""}) {
        const InstrumentSetup setup = resolveInstrumentSetup(name, m_search);
        EXPECT_EQ(setup.soundFonts, std::vector<fs::path>{m_search.defaultSoundFont});
        EXPECT_TRUE(setup.problem.empty());
    }
}

TEST_F(InstrumentSetupTest, NothingAtAllIsReportedOnce) {
    const InstrumentSetup setup = resolveInstrumentSetup(u"timidity.cfg", m_search);
    EXPECT_TRUE(setup.soundFonts.empty());
    EXPECT_FALSE(setup.problem.empty());
}

TEST_F(InstrumentSetupTest, ProgramFolderComesBeforeSystemFolders) {
    write(program() / "a.sf2");
    write(system() / "b.sf2");
    write(system() / "timidity.cfg", "soundfont b.sf2\n");
    write(program() / "timidity.cfg", "soundfont a.sf2\n");
    EXPECT_EQ(resolveInstrumentSetup(u"timidity.cfg", m_search).soundFonts,
              std::vector<fs::path>{program() / "a.sf2"});
}

TEST_F(InstrumentSetupTest, ConfigurationLinesRelativeNamesAndDirs) {
    const fs::path cfgDir = m_dir.path() / "cfg";
    const fs::path one = write(cfgDir / "one.sf2");
    const fs::path spaced = write(cfgDir / "with space.sf2");
    const fs::path inDir = write(m_dir.path() / "lib" / "three.sf2");
    const fs::path nested = write(cfgDir / "extra" / "four.sf2");
    write(cfgDir / "extra" / "more.cfg", "soundfont four.sf2\n");
    const std::string text =
        "# a comment line\n"
        "soundfont one.sf2 order=1   # trailing comment\n"
        "soundfont \"with space.sf2\"\n"
        "\n"
        "dir " +
        (m_dir.path() / "lib").string() +
        "\n"
        "bank 0\n"
        "0 %font three.sf2 0 0 amp=30\n"
        "%font \"three.sf2\" 0 1\n"
        "source extra/more.cfg\n"
        "soundfont one.sf2\n"
        "soundfont lost.sf2\n";
    std::vector<std::string> missing;
    const auto fonts = soundFontsFromConfigText(text, cfgDir, missing);
    EXPECT_EQ(fonts, (std::vector<fs::path>{one, spaced, inDir, nested}));
    EXPECT_EQ(missing, std::vector<std::string>{"lost.sf2"});
}

TEST_F(InstrumentSetupTest, SourceLoopsStop) {
    const fs::path cfgDir = m_dir.path() / "loop";
    write(cfgDir / "a.cfg", "source b.cfg\nsoundfont x.sf2\n");
    write(cfgDir / "b.cfg", "source a.cfg\n");
    const fs::path font = write(cfgDir / "x.sf2");
    std::vector<std::string> missing;
    EXPECT_EQ(soundFontsFromConfigText("source a.cfg\n", cfgDir, missing),
              std::vector<fs::path>{font});
}

TEST_F(InstrumentSetupTest, ConfigurationNamingMissingSoundFontsKeepsTheRest) {
    const fs::path found = write(system() / "ok.sf2");
    write(system() / "timidity.cfg", "soundfont ok.sf2\nsoundfont gone.sf2\n");
    const InstrumentSetup setup = resolveInstrumentSetup(u"timidity.cfg", m_search);
    EXPECT_EQ(setup.soundFonts, std::vector<fs::path>{found});
    EXPECT_NE(setup.problem.find("gone.sf2"), std::string::npos);
}

TEST_F(InstrumentSetupTest, SystemConfigurationWithoutSoundFontsFallsBackToDefault) {
    write(m_search.defaultSoundFont);
    write(system() / "timidity.cfg", "dir /usr/share/patches\nbank 0\n0 piano.pat\n");
    const InstrumentSetup setup = resolveInstrumentSetup(u"timidity.cfg", m_search);
    EXPECT_EQ(setup.soundFonts, std::vector<fs::path>{m_search.defaultSoundFont});
    EXPECT_TRUE(setup.problem.empty());

    const fs::path named = write(m_dir.path() / "mine.cfg", "bank 0\n");
    EXPECT_FALSE(resolveInstrumentSetup(named.u16string(), m_search).problem.empty());
}

}  // namespace
}  // namespace melodeck

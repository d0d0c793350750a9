#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>

#include "file_associations.h"
#include "settings_fixture.h"

namespace melodeck {
namespace {

using test::SettingsFixture;
using Strings = std::vector<std::u16string>;

const Strings kDefaultPictures = {
    u"/data/melodeck/Images/Water.jpg", u"/data/melodeck/Images/Flower.jpg",
    u"/data/melodeck/Images/Underwater.jpg", u"/data/melodeck/Images/Mountain.jpg"};

std::u16string configFileText(const SynthConfig& config) {
    return fieldText(config.ConfigFile, std::size(config.ConfigFile));
}

void expectConstructorFonts(const DocSettings& doc) {
    const std::int32_t sizes[] = {16, 12, 10};
    for (int i = 0; i < kFontCount; ++i) {
        EXPECT_EQ(doc.getFontFace(i), u"Tahoma");
        EXPECT_EQ(fieldText(doc.fontRecords[i].faceName, kFaceNameUnits), u"Tahoma");
        EXPECT_EQ(doc.fontRecords[i].size, sizes[i]);
        EXPECT_EQ(doc.fontRecords[i].bold, 1);
        EXPECT_EQ(doc.fontRecords[i].italic, 0);
        EXPECT_EQ(doc.logFonts[i].weight, kWeightBold);
        EXPECT_EQ(doc.logFonts[i].charSet, kCyrillicCharset);
    }
}

using LyrDocTest = SettingsFixture;

TEST_F(LyrDocTest, EmptyStoreIsAFirstStart) {
    auto doc = makeDoc();
    EXPECT_EQ(m_log.calls, (std::vector<std::string>{"init", "get_configuration",
                                                     "set_configuration", "set_volume"}));
    EXPECT_EQ(doc->LyricCode, 3002);
    EXPECT_EQ(doc->LinesCount, 4);
    EXPECT_EQ(doc->LAbove, 15);
    EXPECT_EQ(doc->LDelay, 110);
    EXPECT_EQ(doc->AllScr, 0);
    EXPECT_EQ(doc->UFN, 0);
    EXPECT_EQ(doc->Repeat, 0);
    EXPECT_EQ(doc->InfoBlock, 1);
    EXPECT_EQ(doc->ColorSong, 0x00FFFFFFu);
    EXPECT_EQ(doc->ColorPlay, 0x00FF00FFu);
    EXPECT_EQ(doc->storedLanguage, 0);
    EXPECT_EQ(doc->firstRun, 1);
    EXPECT_EQ(doc->programFolder, u"/data/melodeck/");
    EXPECT_EQ(doc->lastFolder, u"/data/melodeck/KaraokeFiles");
    EXPECT_EQ(doc->pictures, kDefaultPictures);
    EXPECT_EQ(doc->currentPicture, 0);
    expectConstructorFonts(*doc);

    ASSERT_EQ(m_log.volumesSet, std::vector<std::int32_t>{80});
    const SynthConfig& handed = m_log.configsSet.at(0);
    EXPECT_EQ(configFileText(handed), u"timidity.cfg");
    EXPECT_EQ(handed.Antialiasing, 1);
    EXPECT_EQ(handed.Rate, 22050);  // the library's own values stay where nothing is stored
    EXPECT_EQ(handed.ThreadPriority, 251);

    // The key exists from the start, and the program now opens its file types.
    EXPECT_TRUE(m_registry->openKey(Hive::CurrentUser, kSettingsKeyPath));
    FileAssociations assoc(*m_registry, u"/usr/bin/melodeck");
    EXPECT_TRUE(assoc.isAssociated(u".kar", u"Melodeck KaraokeFile"));
    EXPECT_TRUE(assoc.isAssociated(u".m3u", u"Melodeck Playlist"));
    auto command =
        m_registry->openKey(Hive::ClassesRoot, u"Melodeck MidiAudioFile\\Shell\\Open\\Command");
    ASSERT_TRUE(command);
    EXPECT_EQ(readText(*command, u"", 520), u"\"/usr/bin/melodeck\" \"%1\"");
}

TEST_F(LyrDocTest, StoreThatCannotBeOpenedKeepsConstructorValuesAndLibrarySettings) {
    auto doc = makeDoc(nullptr);
    EXPECT_EQ(doc->LyricCode, 3001);
    EXPECT_EQ(doc->LAbove, 12);
    EXPECT_EQ(doc->LDelay, 100);
    EXPECT_EQ(doc->lastFolder, u"");
    EXPECT_TRUE(doc->pictures.empty());
    EXPECT_EQ(doc->currentPicture, -1);
    EXPECT_EQ(doc->firstRun, 0);
    expectConstructorFonts(*doc);
    doc.reset();
    EXPECT_EQ(m_log.calls,
              (std::vector<std::string>{"init", "get_configuration", "get_configuration", "term"}));
}

TEST_F(LyrDocTest, LockedStoreIsLeftAloneAndTheProgramGoesOn) {
    storeCurrentVersion();
    storeDword(u"LDelay", 42);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(SqliteRegistry::defaultFile()->c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        auto doc = makeDoc();
        EXPECT_EQ(doc->LDelay, 100);
        EXPECT_TRUE(m_log.configsSet.empty());
        doc->LDelay = 7;
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(storedDword(u"LDelay"), 42u);
}

TEST_F(LyrDocTest, CorruptStoreIsRefusedAndKeptForTheUser) {
    m_registry.reset();
    const std::filesystem::path file = *SqliteRegistry::defaultFile();
    std::filesystem::remove(file);
    {
        std::ofstream out(file, std::ios::binary);
        out << std::string(5000, '\x5a');
    }
    auto registry = openStore();
    EXPECT_FALSE(registry);
    auto doc = makeDoc(registry.get());
    EXPECT_EQ(doc->LyricCode, 3001);
    doc.reset();
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(5000, '\x5a'));
}

TEST_F(LyrDocTest, SaveAndLoadCarryEverySetting) {
    {
        auto doc = makeDoc();
        doc->Repeat = 1;
        doc->InfoBlock = 0;
        doc->lastFolder = u"/home/me/Песни";
        doc->LyricCode = 3005;
        doc->iTon = -3;
        doc->iVol = 2;
        doc->iTemp = -1;
        doc->pictures = {u"/p/a.jpg", u"/p/b.jpg"};
        doc->currentPicture = 1;
        doc->ListInd = -1;
        doc->ColorSong = 0x00123456;
        doc->ColorPlay = 0x00654321;
        doc->AllScr = 1;
        doc->UFN = 1;
        doc->LinesCount = 6;
        doc->LAbove = 20;
        doc->LDelay = -40;
        doc->interfaceLanguage = 3002;
        doc->setFontFace(1, u"DejaVu Sans");
        doc->setFontItalic(2, true);
        m_log.config.Rate = 44100;
        m_log.config.ReverbDelay = -9;
        m_log.volume = 640;
    }
    // Every value is written, in this order, once.
    const Strings order = {u"ver",          u"ConfigFile",     u"Rate",
                           u"Buffers",      u"Voices",         u"Stereo",
                           u"Pan",          u"Antialiasing",   u"FreeInstrum",
                           u"16Bits",       u"ThreadPriority", u"ReverbEnabled",
                           u"ReverbDelay",  u"ReverbRate",     u"SurroundEnabled",
                           u"SurroundRate", u"Volume",         u"Repeat",
                           u"InfoBlock",    u"LastFolder",     u"LyricCode",
                           u"ProgLang",     u"ColorSong",      u"ColorPlay",
                           u"ListInd",      u"LinesCount",     u"AllScr",
                           u"UFN",          u"LAbove",         u"LDelay",
                           u"iTon",         u"iTemp",          u"iVol",
                           u"CountPict",    u"CurPict",        u"Pict_0",
                           u"Pict_1",       u"Font_0",         u"Font_1",
                           u"Font_2"};
    Strings names;
    for (const RegValue& value : settingsKey()->values()) names.push_back(value.name);
    EXPECT_EQ(names, order);
    EXPECT_EQ(stored(u"ConfigFile")->bytes.size(), 512u);
    EXPECT_EQ(stored(u"ver")->type, ValueType::String);

    const test::SynthLog saved = m_log;
    m_log = {};
    auto doc = makeDoc();
    EXPECT_EQ(doc->firstRun, 0);
    EXPECT_EQ(doc->Repeat, 1);
    EXPECT_EQ(doc->InfoBlock, 0);
    EXPECT_EQ(doc->lastFolder, u"/home/me/Песни");
    EXPECT_EQ(doc->LyricCode, 3005);
    EXPECT_EQ(doc->iTon, -3);
    EXPECT_EQ(doc->iVol, 2);
    EXPECT_EQ(doc->iTemp, -1);
    EXPECT_EQ(doc->pictures, (Strings{u"/p/a.jpg", u"/p/b.jpg"}));
    EXPECT_EQ(doc->currentPicture, 1);
    EXPECT_EQ(doc->ListInd, -1);
    EXPECT_EQ(doc->ColorSong, 0x00123456u);
    EXPECT_EQ(doc->ColorPlay, 0x00654321u);
    EXPECT_EQ(doc->AllScr, 1);
    EXPECT_EQ(doc->UFN, 1);
    EXPECT_EQ(doc->LinesCount, 6);
    EXPECT_EQ(doc->LAbove, 20);
    EXPECT_EQ(doc->LDelay, -40);
    EXPECT_EQ(doc->storedLanguage, 3002);
    EXPECT_EQ(doc->getFontFace(1), u"DejaVu Sans");
    EXPECT_EQ(doc->logFonts[2].italic, 1);
    ASSERT_EQ(m_log.volumesSet, std::vector<std::int32_t>{640});
    const SynthConfig& handed = m_log.configsSet.at(0);
    EXPECT_EQ(handed.Rate, 44100);
    EXPECT_EQ(handed.ReverbDelay, -9);
    EXPECT_EQ(handed.LibraryOwn, 77);  // never stored
    // The whole path field travels, bytes after its terminator included.
    EXPECT_EQ(std::memcmp(handed.ConfigFile, saved.config.ConfigFile, sizeof handed.ConfigFile), 0);
}

TEST_F(LyrDocTest, ProgLangSavesTheLanguageInEffect) {
    storeCurrentVersion();
    storeDword(u"ProgLang", 3002);
    {
        auto doc = makeDoc();
        EXPECT_EQ(doc->storedLanguage, 3002);
        doc->interfaceLanguage = 3001;
    }
    EXPECT_EQ(storedDword(u"ProgLang"), 3001u);
}

TEST_F(LyrDocTest, ValuesOutsideTheirChecksFallBack) {
    storeCurrentVersion();
    const std::pair<std::uint32_t, std::int32_t> codes[] = {
        {0, 3001},    {2000, 3001}, {5000, 3001}, {0xFFFFFFFF, 3001},
        {3001, 3001}, {3030, 3030}, {4000, 4000}};
    for (auto [stored, loaded] : codes) {
        storeDword(u"LyricCode", stored);
        EXPECT_EQ(makeDoc()->LyricCode, loaded) << stored;
    }
}

TEST_F(LyrDocTest, ValuesThatDoNotFitTheirSpaceCountAsAbsent) {
    storeCurrentVersion();
    storeBinary(u"LDelay", std::vector<std::uint8_t>(8, 1));
    storeBinary(u"Volume", std::vector<std::uint8_t>(5, 1));
    // A shorter value replaces only its own bytes, as a read into the member does.
    storeBinary(u"LAbove", std::vector<std::uint8_t>{0x05});
    // A path filling the whole field with no terminator would run past it.
    storeBinary(u"ConfigFile", std::vector<std::uint8_t>(512, 'a'));
    auto doc = makeDoc();
    EXPECT_EQ(doc->LDelay, 110);
    EXPECT_EQ(m_log.volumesSet.at(0), 80);
    EXPECT_EQ(doc->LAbove, 5);
    EXPECT_EQ(configFileText(m_log.configsSet.at(0)), u"timidity.cfg");
    EXPECT_EQ(doc->firstRun, 1);
}

TEST_F(LyrDocTest, LastFolderOver259CharactersCountsAsAbsent) {
    storeCurrentVersion();
    storeText(u"LastFolder", std::u16string(259, u'a'));
    EXPECT_EQ(makeDoc()->lastFolder, std::u16string(259, u'a'));

    FileAssociations(*m_registry, u"/usr/bin/melodeck").restore(u".kar", u"Melodeck KaraokeFile");
    storeText(u"LastFolder", std::u16string(260, u'a'));
    EXPECT_EQ(makeDoc()->lastFolder, u"/data/melodeck/KaraokeFiles");
    // The first-start work runs again: the associations are back.
    EXPECT_TRUE(FileAssociations(*m_registry, u"/usr/bin/melodeck")
                    .isAssociated(u".kar", u"Melodeck KaraokeFile"));
}

}  // namespace
}  // namespace melodeck

#include <gtest/gtest.h>

#include "reg_export.h"
#include "registry_values.h"
#include "sqlite_registry.h"

namespace melodeck {
namespace {

class RegExportTest : public ::testing::Test {
protected:
    std::string exportAll() { return exportRegText(*m_registry, kAllHives); }

    std::unique_ptr<SqliteRegistry> m_registry = SqliteRegistry::openInMemory();
};

TEST_F(RegExportTest, EmptyStoreIsTheHeaderAlone) {
    EXPECT_EQ(exportAll(), "Windows Registry Editor Version 5.00\n\n");
}

TEST_F(RegExportTest, WritesEachTypeInItsOwnForm) {
    auto key = m_registry->createKey(Hive::CurrentUser, u"Software\\Q");
    writeText(*key, u"ver", u"3.3");
    writeDword(*key, u"LAbove", 12);
    writeDword(*key, u"Neg", 0xFFFFFFFF);
    writeBinary(*key, u"Bin", std::vector<std::uint8_t>{0x74, 0x00, 0xff});
    writeText(*key, u"", u"C:\\a \"b\"");
    writeText(*key, u"Quote\"d", u"Песня");

    EXPECT_EQ(exportAll(),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software]\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Q]\n"
              "\"ver\"=\"3.3\"\n"
              "\"LAbove\"=dword:0000000c\n"
              "\"Neg\"=dword:ffffffff\n"
              "\"Bin\"=hex:74,00,ff\n"
              "@=\"C:\\\\a \\\"b\\\"\"\n"
              "\"Quote\\\"d\"=\"Песня\"\n"
              "\n");
}

TEST_F(RegExportTest, ValuesThatAreNotCleanTextKeepTheirExactBytes) {
    auto key = m_registry->createKey(Hive::ClassesRoot, u".kar");
    key->write(u"NoNul", ValueType::String, std::vector<std::uint8_t>{'a', 0});
    key->write(u"Inner", ValueType::String, std::vector<std::uint8_t>{'a', 0, 0, 0, 'b', 0, 0, 0});
    writeText(*key, u"Line", u"a\nb");
    writeText(*key, u"Lone", std::u16string(1, char16_t(0xD800)));
    key->write(u"Short", ValueType::Dword, std::vector<std::uint8_t>{1, 2});
    key->write(u"Multi", static_cast<ValueType>(7), std::vector<std::uint8_t>{0, 0});

    const std::string text = exportRegText(*m_registry, std::vector<Hive>{Hive::ClassesRoot});
    EXPECT_NE(text.find("\"NoNul\"=hex(1):61,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Inner\"=hex(1):61,00,00,00,62,00,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Line\"=hex(1):61,00,0a,00,62,00,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Lone\"=hex(1):00,d8,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Short\"=hex(4):01,02\n"), std::string::npos);
    EXPECT_NE(text.find("\"Multi\"=hex(7):00,00\n"), std::string::npos);
}

TEST_F(RegExportTest, LongBinaryValuesWrapWithContinuations) {
    auto key = m_registry->createKey(Hive::CurrentUser, u"K");
    writeBinary(*key, u"ConfigFile", std::vector<std::uint8_t>(512, 0xab));
    const std::string text = exportAll();
    std::size_t bytes = 0;
    std::size_t start = text.find("\"ConfigFile\"=hex:");
    ASSERT_NE(start, std::string::npos);
    const std::string value = text.substr(start, text.find("\n\n", start) - start);
    std::size_t lineStart = 0;
    while (lineStart < value.size()) {
        std::size_t end = value.find('\n', lineStart);
        if (end == std::string::npos) end = value.size();
        const std::string line = value.substr(lineStart, end - lineStart);
        EXPECT_LE(line.size(), 80u) << line;
        for (std::size_t p = 0; (p = line.find("ab", p)) != std::string::npos; p += 2) ++bytes;
        if (end < value.size()) {
            EXPECT_EQ(line.back(), '\\');
        }
        lineStart = end + 1;
    }
    EXPECT_EQ(bytes, 512u);
}

TEST_F(RegExportTest, HiveFilterAndHiveNames) {
    writeText(*m_registry->createKey(Hive::ClassesRoot, u".mid"), u"", u"Melodeck MidiAudioFile");
    writeDword(*m_registry->createKey(Hive::CurrentUser, u"K"), u"V", 1);
    const std::string text = exportRegText(*m_registry, std::vector<Hive>{Hive::CurrentUser});
    EXPECT_EQ(text.find("HKEY_CLASSES_ROOT"), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\K]"), std::string::npos);

    EXPECT_EQ(parseHive("hkey_current_user"), Hive::CurrentUser);
    EXPECT_EQ(parseHive("HKCR"), Hive::ClassesRoot);
    EXPECT_EQ(parseHive("hklm"), Hive::LocalMachine);
    EXPECT_FALSE(parseHive("HKEY_USERS"));
}

}  // namespace
}  // namespace melodeck

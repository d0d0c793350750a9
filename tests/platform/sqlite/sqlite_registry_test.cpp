#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "registry_values.h"
#include "sqlite_registry.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SqliteRegistryTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return m_dir.path() / "store" / "registry.sqlite3"; }
    std::unique_ptr<SqliteRegistry> open(int busyMs = 2000) {
        return SqliteRegistry::open(
            file(), {.readOnly = false, .busyTimeout = std::chrono::milliseconds(busyMs)});
    }

    test::TempDir m_dir;
};

TEST_F(SqliteRegistryTest, KeyAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling) {
    auto registry = SqliteRegistry::openInMemory();
    auto key = registry->createKey(Hive::CurrentUser, u"Software\\Quill\\Midi");
    ASSERT_TRUE(key);
    ASSERT_TRUE(writeDword(*key, u"LDelay", 110));
    ASSERT_TRUE(writeDword(*key, u"LDELAY", 120));  // the same value, replaced

    auto again = registry->openKey(Hive::CurrentUser, u"SOFTWARE\\quill\\MIDI");
    ASSERT_TRUE(again);
    const std::vector<RegValue> values = again->values();
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, u"LDelay");
    EXPECT_EQ(values[0].data.bytes, dwordValueBytes(120));
    EXPECT_EQ(registry->openKey(Hive::CurrentUser, u"software")->subkeys(),
              std::vector<std::u16string>{u"Quill"});

    // Letters beyond ASCII fold too; hives are separate trees.
    auto cyr = registry->createKey(Hive::CurrentUser, u"Песни");
    ASSERT_TRUE(cyr);
    EXPECT_TRUE(registry->openKey(Hive::CurrentUser, u"ПЕСНИ"));
    EXPECT_FALSE(registry->openKey(Hive::ClassesRoot, u"Software"));
}

TEST_F(SqliteRegistryTest, ReadsIntoABufferOfTheGivenSize) {
    auto registry = SqliteRegistry::openInMemory();
    auto key = registry->createKey(Hive::CurrentUser, u"K");
    const Bytes binary{0, 1, 0, 0xFF, 0};
    ASSERT_TRUE(writeBinary(*key, u"Bin", binary));
    ASSERT_TRUE(writeText(*key, u"Text", u"abc"));

    EXPECT_EQ(key->read(u"Bin", 5)->bytes, binary);  // exactly fits, zero bytes kept
    EXPECT_EQ(key->read(u"Bin", 100)->bytes, binary);
    EXPECT_FALSE(key->read(u"Bin", 4));  // larger than the buffer counts as absent
    EXPECT_FALSE(key->read(u"Missing", 100));

    // Types are not checked: a string reads as bytes wherever it is asked for.
    const std::optional<RegData> text = key->read(u"text", 8);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, ValueType::String);
    EXPECT_EQ(text->bytes, (Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    EXPECT_EQ(readText(*key, u"Text", 8), u"abc");

    // An empty value reads as zero bytes, not as missing.
    ASSERT_TRUE(writeBinary(*key, u"Empty", {}));
    ASSERT_TRUE(key->read(u"Empty", 0));
    EXPECT_TRUE(key->read(u"Empty", 0)->bytes.empty());
}

TEST_F(SqliteRegistryTest, TextWithoutRoomForItsTerminatorCountsAsAbsent) {
    auto registry = SqliteRegistry::openInMemory();
    auto key = registry->createKey(Hive::CurrentUser, u"K");
    ASSERT_TRUE(writeBinary(*key, u"Four", Bytes{'a', 0, 'b', 0}));
    EXPECT_FALSE(readText(*key, u"Four", 4));      // fills the buffer, no NUL
    EXPECT_EQ(readText(*key, u"Four", 6), u"ab");  // room left for the terminator
    ASSERT_TRUE(writeBinary(*key, u"Inner", Bytes{'a', 0, 0, 0, 'z', 0}));
    EXPECT_EQ(readText(*key, u"Inner", 6), u"a");
}

TEST_F(SqliteRegistryTest, EnumeratesInCreationOrderAndDeletesWholeSubtrees) {
    auto registry = SqliteRegistry::openInMemory();
    auto root = registry->createKey(Hive::ClassesRoot, u"Type");
    ASSERT_TRUE(registry->createKey(Hive::ClassesRoot, u"Type\\Shell\\Open\\Command"));
    ASSERT_TRUE(registry->createKey(Hive::ClassesRoot, u"Type\\DefaultIcon"));
    writeText(*root, u"z", u"1");
    writeText(*root, u"", u"default");
    writeText(*root, u"a", u"2");
    writeText(*root, u"Z", u"3");  // replaces "z" in its place

    EXPECT_EQ(root->subkeys(), (std::vector<std::u16string>{u"Shell", u"DefaultIcon"}));
    const std::vector<RegValue> values = root->values();
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].name, u"z");
    EXPECT_EQ(valueText(values[0].data.bytes), u"3");
    EXPECT_EQ(values[1].name, u"");
    EXPECT_EQ(values[2].name, u"a");

    EXPECT_TRUE(root->deleteValue(u"A"));
    EXPECT_FALSE(root->deleteValue(u"a"));
    EXPECT_TRUE(registry->deleteKey(Hive::ClassesRoot, u"type\\shell"));
    EXPECT_FALSE(registry->openKey(Hive::ClassesRoot, u"Type\\Shell\\Open\\Command"));
    EXPECT_TRUE(registry->openKey(Hive::ClassesRoot, u"Type\\DefaultIcon"));
    EXPECT_FALSE(registry->deleteKey(Hive::ClassesRoot, u""));

    // A key deleted while open fails instead of writing into nowhere.
    auto icon = registry->openKey(Hive::ClassesRoot, u"Type\\DefaultIcon");
    ASSERT_TRUE(registry->deleteKey(Hive::ClassesRoot, u"Type"));
    EXPECT_FALSE(writeText(*icon, u"", u"x"));
    EXPECT_TRUE(icon->values().empty());
}

TEST_F(SqliteRegistryTest, RejectsPathsWithEmptyComponents) {
    auto registry = SqliteRegistry::openInMemory();
    for (std::u16string_view path : {u"\\A", u"A\\", u"A\\\\B"}) {
        EXPECT_FALSE(registry->createKey(Hive::CurrentUser, path));
        EXPECT_FALSE(registry->openKey(Hive::CurrentUser, path));
    }
    EXPECT_TRUE(registry->openKey(Hive::CurrentUser, u""));  // the hive itself
}

TEST_F(SqliteRegistryTest, TransactionKeepsAllOrNothing) {
    auto registry = open();
    ASSERT_TRUE(registry);
    writeDword(*registry->createKey(Hive::CurrentUser, u"K"), u"V", 1);
    {
        auto transaction = registry->beginTransaction();
        ASSERT_TRUE(transaction);
        EXPECT_FALSE(registry->beginTransaction());  // one at a time
        auto key = registry->createKey(Hive::CurrentUser, u"K");
        writeDword(*key, u"V", 2);
        writeDword(*key, u"W", 3);
        ASSERT_TRUE(registry->createKey(Hive::CurrentUser, u"New"));
    }  // dropped without commit
    EXPECT_EQ(registry->openKey(Hive::CurrentUser, u"K")->read(u"V", 4)->bytes, dwordValueBytes(1));
    EXPECT_FALSE(registry->openKey(Hive::CurrentUser, u"K")->read(u"W", 4));
    EXPECT_FALSE(registry->openKey(Hive::CurrentUser, u"New"));

    auto transaction = registry->beginTransaction();
    writeDword(*registry->createKey(Hive::CurrentUser, u"K"), u"V", 2);
    EXPECT_TRUE(transaction->commit());
    registry.reset();
    EXPECT_EQ(open()->openKey(Hive::CurrentUser, u"K")->read(u"V", 4)->bytes, dwordValueBytes(2));
}

TEST_F(SqliteRegistryTest, RefusesADamagedFileAndLeavesItAsItIs) {
    std::filesystem::create_directories(file().parent_path());
    {
        std::ofstream out(file(), std::ios::binary);
        out << "This is not a database, but the user's data must survive.";
    }
    const std::string before = fileBytes(file());
    EXPECT_FALSE(open());
    EXPECT_EQ(fileBytes(file()), before);

    // A real database cut short is refused the same way.
    std::filesystem::remove(file());
    {
        auto registry = open();
        auto transaction = registry->beginTransaction();
        auto key = registry->createKey(Hive::CurrentUser, u"K");
        for (char16_t i = 0; i < 200; ++i) {
            writeText(*key, std::u16string(u"Value") + char16_t(u'A' + i),
                      std::u16string(100, u'x'));
        }
        ASSERT_TRUE(transaction->commit());
    }
    std::filesystem::resize_file(file(), 3 * 4096);
    const std::string truncated = fileBytes(file());
    EXPECT_FALSE(open());
    EXPECT_EQ(fileBytes(file()), truncated);
}

TEST_F(SqliteRegistryTest, RefusesAFileWithANewerLayout) {
    {
        auto registry = open();
        ASSERT_TRUE(registry);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(open());
}

TEST_F(SqliteRegistryTest, LockedStoreCannotBeOpenedForWritingButStillReads) {
    {
        auto registry = open();
        writeDword(*registry->createKey(Hive::CurrentUser, u"K"), u"V", 7);
    }
    auto registry = open(50);
    ASSERT_TRUE(registry);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    EXPECT_FALSE(registry->createKey(Hive::CurrentUser, u"K"));
    EXPECT_FALSE(registry->beginTransaction());
    auto key = registry->openKey(Hive::CurrentUser, u"K");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->read(u"V", 4)->bytes, dwordValueBytes(7));

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(registry->createKey(Hive::CurrentUser, u"K"));
}

TEST_F(SqliteRegistryTest, ReadOnlyStoreReadsButNeverWrites) {
    {
        auto registry = open();
        writeDword(*registry->createKey(Hive::CurrentUser, u"K"), u"V", 7);
    }
    const std::string before = fileBytes(file());
    auto registry = SqliteRegistry::open(file(), {.readOnly = true});
    ASSERT_TRUE(registry);
    auto key = registry->openKey(Hive::CurrentUser, u"K");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->read(u"V", 4)->bytes, dwordValueBytes(7));
    EXPECT_FALSE(writeDword(*key, u"V", 8));
    EXPECT_FALSE(registry->createKey(Hive::CurrentUser, u"K"));
    EXPECT_FALSE(registry->beginTransaction());
    EXPECT_EQ(fileBytes(file()), before);

    EXPECT_FALSE(SqliteRegistry::open(m_dir.path() / "absent.sqlite3", {.readOnly = true}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "absent.sqlite3"));
}

TEST(SqliteRegistryLocation, ConfigDirWinsOverXdgAndHome) {
    test::TempConfigDir config;
    EXPECT_EQ(SqliteRegistry::defaultFile(), config.path() / "registry.sqlite3");

    unsetenv("MELODECK_CONFIG_DIR");
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(SqliteRegistry::defaultFile(),
              std::filesystem::path("/xdg/Melodeck/registry.sqlite3"));
    setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(SqliteRegistry::defaultFile()->parent_path().filename(), "Melodeck");
    EXPECT_NE(SqliteRegistry::defaultFile()->string().rfind("relative", 0), 0u);
    if (oldXdg) {
        setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace
}  // namespace melodeck

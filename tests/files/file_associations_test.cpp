#include <gtest/gtest.h>

#include "file_associations.h"
#include "registry_values.h"
#include "sqlite_registry.h"
#include "support/temp_dir.h"

namespace melodeck {
namespace {

constexpr std::u16string_view kProgram = u"/opt/melo deck/bin/melodeck";
constexpr std::u16string_view kKaraoke = u"Melodeck KaraokeFile";

class FileAssociationsTest : public ::testing::Test {
protected:
    void setDefault(std::u16string_view path, std::u16string_view text) {
        writeText(*m_registry->createKey(Hive::ClassesRoot, path), u"", text);
    }
    // The value's text, or nullopt when the key or the value is missing.
    std::optional<std::u16string> value(std::u16string_view path, std::u16string_view name) {
        auto key = m_registry->openKey(Hive::ClassesRoot, path);
        if (!key) return std::nullopt;
        return readText(*key, name, 520);
    }

    std::unique_ptr<SqliteRegistry> m_registry = SqliteRegistry::openInMemory();
    FileAssociations m_assoc{*m_registry, std::u16string(kProgram)};
};

TEST_F(FileAssociationsTest, AssociateWritesTheTypeWithTheProgramsPath) {
    m_assoc.associate(u".kar", kKaraoke, u"Karaoke File", kProgramIconNumber);
    EXPECT_EQ(value(kKaraoke, u""), u"Karaoke File");
    EXPECT_EQ(value(u"Melodeck KaraokeFile\\DefaultIcon", u""),
              u"/opt/melo deck/bin/melodeck,-128");
    EXPECT_EQ(value(u"Melodeck KaraokeFile\\Shell\\Open\\Command", u""),
              u"\"/opt/melo deck/bin/melodeck\" \"%1\"");
    // Strings are stored with their terminator.
    auto key = m_registry->openKey(Hive::ClassesRoot, kKaraoke);
    EXPECT_EQ(key->read(u"", 520)->bytes.size(), (12u + 1) * 2);
    EXPECT_TRUE(m_assoc.isAssociated(u".kar", kKaraoke));
    EXPECT_TRUE(m_assoc.isAssociated(u".KAR", kKaraoke));                  // key names ignore case
    EXPECT_FALSE(m_assoc.isAssociated(u".kar", u"melodeck karaokefile"));  // values do not
    EXPECT_FALSE(m_assoc.isAssociated(u".mid", u"Melodeck MidiAudioFile"));
}

TEST_F(FileAssociationsTest, FirstStartTakesOverAndRestoreGivesBack) {
    setDefault(u".kar", u"OtherPlayer.kar");
    m_assoc.associateAll();
    EXPECT_EQ(value(u".kar", u""), kKaraoke);
    EXPECT_EQ(value(u".kar", kBackupValueName), u"OtherPlayer.kar");
    for (const AssociationGroup& group : kAssociationGroups) {
        for (std::u16string_view ext : group.extensions) {
            if (ext.empty()) continue;
            EXPECT_TRUE(m_assoc.isAssociated(ext, group.progId)) << ext.size();
        }
    }

    m_assoc.restore(u".kar", kKaraoke);
    EXPECT_EQ(value(u".kar", u""), u"OtherPlayer.kar");
    EXPECT_FALSE(value(u".kar", kBackupValueName));
    EXPECT_TRUE(value(kKaraoke, u""));  // the type's own keys stay
}

TEST_F(FileAssociationsTest, ExtensionWithoutKeyGetsAnEmptyBackupAndAnEmptyDefault) {
    m_assoc.associate(u".m3u", u"Melodeck Playlist", u"Play List File", kProgramIconNumber);
    EXPECT_EQ(value(u".m3u", kBackupValueName), u"");
    m_assoc.restore(u".m3u", u"Melodeck Playlist");
    EXPECT_EQ(value(u".m3u", u""), u"");
    EXPECT_FALSE(value(u".m3u", kBackupValueName));
}

TEST_F(FileAssociationsTest, AssociatingTwiceKeepsTheFirstBackup) {
    setDefault(u".kar", u"OtherPlayer.kar");
    m_assoc.associate(u".kar", kKaraoke, u"Karaoke File", kProgramIconNumber);
    m_assoc.associate(u".kar", kKaraoke, u"Karaoke File", kProgramIconNumber);
    EXPECT_EQ(value(u".kar", kBackupValueName), u"OtherPlayer.kar");
}

TEST_F(FileAssociationsTest, AssociateAllLeavesAssociatedExtensionsAlone) {
    m_assoc.associate(u".mid", u"Melodeck MidiAudioFile", u"MIDI Audio File", kProgramIconNumber);
    // A backup that associate-all would overwrite if it touched ".mid" again.
    writeText(*m_registry->openKey(Hive::ClassesRoot, u".mid"), kBackupValueName, u"Earlier");
    m_assoc.associateAll();
    EXPECT_EQ(value(u".mid", kBackupValueName), u"Earlier");
    EXPECT_TRUE(m_assoc.isAssociated(u".midi", u"Melodeck MidiAudioFile"));
}

TEST_F(FileAssociationsTest, RestoreLeavesAnExtensionAnotherProgramTookOver) {
    m_assoc.associate(u".kar", kKaraoke, u"Karaoke File", kProgramIconNumber);
    setDefault(u".kar", u"Newcomer.kar");
    EXPECT_FALSE(m_assoc.isAssociated(u".kar", kKaraoke));
    m_assoc.restore(u".kar", kKaraoke);
    EXPECT_EQ(value(u".kar", u""), u"Newcomer.kar");
    EXPECT_FALSE(value(u".kar", kBackupValueName));

    // Restoring an extension that has no key creates nothing.
    m_assoc.restore(u".midi", u"Melodeck MidiAudioFile");
    EXPECT_FALSE(m_registry->openKey(Hive::ClassesRoot, u".midi"));
}

TEST_F(FileAssociationsTest, UnwritableStoreMakesNoAssociation) {
    test::TempDir dir;
    {
        auto created = SqliteRegistry::open(dir.path() / "r.sqlite3", {});
        ASSERT_TRUE(created);
    }
    auto readOnly = SqliteRegistry::open(dir.path() / "r.sqlite3", {.readOnly = true});
    ASSERT_TRUE(readOnly);
    FileAssociations assoc(*readOnly, std::u16string(kProgram));
    assoc.associateAll();  // must simply do nothing
    EXPECT_FALSE(assoc.isAssociated(u".kar", kKaraoke));
    EXPECT_FALSE(readOnly->openKey(Hive::ClassesRoot, kKaraoke));
}

}  // namespace
}  // namespace melodeck

#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "lyr_doc.h"
#include "recording_synth.h"
#include "registry_values.h"
#include "settings_table.h"
#include "sqlite_registry.h"
#include "support/temp_dir.h"

namespace melodeck::test {

inline AppPaths testPaths() {
    return AppPaths{.programFile = "/usr/bin/melodeck", .dataFolder = "/data/melodeck"};
}

// A settings store in a temporary config folder, a recording synthesizer, and shortcuts to
// put values into the settings key the way an earlier run (or a damaged file) left them.
class SettingsFixture : public ::testing::Test {
protected:
    SettingsFixture() { m_registry = openStore(); }

    std::unique_ptr<SqliteRegistry> openStore(int busyMs = 50) {
        return SqliteRegistry::open(
            *SqliteRegistry::defaultFile(),
            {.readOnly = false, .busyTimeout = std::chrono::milliseconds(busyMs)});
    }
    std::unique_ptr<CLyrDoc> makeDoc(Registry* registry) {
        return std::make_unique<CLyrDoc>(std::make_unique<RecordingSynth>(m_log), registry,
                                         testPaths());
    }
    std::unique_ptr<CLyrDoc> makeDoc() { return makeDoc(m_registry.get()); }

    std::unique_ptr<RegistryKey> settingsKey() {
        return m_registry->createKey(Hive::CurrentUser, kSettingsKeyPath);
    }
    void storeDword(std::u16string_view name, std::uint32_t value) {
        ASSERT_TRUE(writeDword(*settingsKey(), name, value));
    }
    void storeText(std::u16string_view name, std::u16string_view text) {
        ASSERT_TRUE(writeText(*settingsKey(), name, text));
    }
    void storeBinary(std::u16string_view name, std::span<const std::uint8_t> bytes) {
        ASSERT_TRUE(writeBinary(*settingsKey(), name, bytes));
    }
    std::optional<RegData> stored(std::u16string_view name) {
        auto key = m_registry->openKey(Hive::CurrentUser, kSettingsKeyPath);
        if (!key) return std::nullopt;
        return key->read(name, 1 << 20);
    }
    std::optional<std::uint32_t> storedDword(std::u16string_view name) {
        std::optional<RegData> data = stored(name);
        if (!data || data->bytes.size() != 4) return std::nullopt;
        return data->bytes[0] | data->bytes[1] << 8 | data->bytes[2] << 16 |
               static_cast<std::uint32_t>(data->bytes[3]) << 24;
    }
    // A store as a current version of the program leaves it, so that only what a test
    // changes differs from a normal start.
    void storeCurrentVersion() {
        storeText(u"ver", kVersionText);
        storeText(u"LastFolder", u"/songs");
        storeText(u"ConfigFile", u"/etc/timidity.cfg");
    }

    TempConfigDir m_config;
    SynthLog m_log;
    std::unique_ptr<SqliteRegistry> m_registry;
};

}  // namespace melodeck::test

#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "registry.h"
#include "sqlite_db.h"

namespace melodeck {

// The registry kept in one SQLite database file.
//
// Every write outside a transaction is committed at once; beginTransaction() groups writes
// into one IMMEDIATE transaction, so a crash or kill before its commit leaves the store as
// it was. The database runs in WAL mode with full synchronisation.
//
// Creating a key needs the write lock: while another process holds it past the busy
// timeout, or when the file is read-only, createKey() fails, and a caller sees the same as
// a key that cannot be opened. Reads keep working while another process writes.
class SqliteRegistry final : public Registry {
public:
    struct Options {
        bool readOnly = false;  // open without ever writing; the file must exist
        std::chrono::milliseconds busyTimeout{2000};
    };

    // Opens the store in `file`, creating the file and its folder when absent (unless
    // read-only). Null when the file cannot be opened, is not a database, fails its
    // integrity check or holds a newer layout. A damaged file is left exactly as it is.
    static std::unique_ptr<SqliteRegistry> open(const std::filesystem::path& file,
                                                const Options& options);
    // A store that lives in memory for the life of the object.
    static std::unique_ptr<SqliteRegistry> openInMemory();

    // registry.sqlite3 in the folder named by MELODECK_CONFIG_DIR, else in
    // $XDG_CONFIG_HOME/Melodeck, else in ~/.config/Melodeck. Nullopt when none of these can
    // be told (no HOME).
    static std::optional<std::filesystem::path> defaultFile();

    std::unique_ptr<RegistryKey> createKey(Hive hive, std::u16string_view path) override;
    std::unique_ptr<RegistryKey> openKey(Hive hive, std::u16string_view path) override;
    bool deleteKey(Hive hive, std::u16string_view path) override;
    std::unique_ptr<RegistryTransaction> beginTransaction() override;

private:
    // Lets only this class construct itself, while std::make_unique still can.
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    SqliteRegistry(Passkey, SqliteDb db, bool readOnly);

private:
    static std::unique_ptr<SqliteRegistry> openConnection(const std::string& name, int flags,
                                                          const Options& options);
    bool prepareSchema();
    std::optional<std::int64_t> childKey(std::int64_t parent, std::u16string_view name);
    std::optional<std::int64_t> findKey(Hive hive, std::u16string_view path);
    bool inTransaction() const;

    SqliteDb m_db;
    bool m_readOnly;
};

}  // namespace melodeck

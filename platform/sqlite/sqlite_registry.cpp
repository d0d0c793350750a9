#include "sqlite_registry.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "sqlite_registry_key.h"
#include "stored_name.h"

namespace melodeck {
namespace {

// Layout version kept in PRAGMA user_version; a newer file is not touched.
constexpr std::int64_t kSchemaVersion = 1;

// Every hive is a key row with a fixed id and no parent, so hives and keys share one path
// walk and one enumeration.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reg_key(
  id INTEGER PRIMARY KEY,
  parent INTEGER REFERENCES reg_key(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS reg_value(
  key INTEGER NOT NULL REFERENCES reg_key(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, folded));
INSERT OR IGNORE INTO reg_key(id, parent, name, folded) VALUES
  (1, NULL, X'', X''), (2, NULL, X'', X''), (3, NULL, X'', X'');
PRAGMA user_version = 1;
)sql";

std::int64_t hiveId(Hive hive) { return static_cast<std::int64_t>(hive) + 1; }

// The components of a key path; nullopt when one of them is empty.
std::optional<std::vector<std::u16string_view>> splitPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    if (path.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(u'\\', start);
        const std::u16string_view part = path.substr(start, end - start);
        if (part.empty()) return std::nullopt;
        parts.push_back(part);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

// Runs a group of writes as one transaction unless the caller already has one open.
class WriteScope {
public:
    explicit WriteScope(SqliteDb& db) : m_db(db), m_own(sqlite3_get_autocommit(db.get()) != 0) {
        m_ok = !m_own || m_db.exec("BEGIN IMMEDIATE");
    }
    ~WriteScope() {
        if (m_own && m_ok && !m_done) m_db.exec("ROLLBACK");
    }
    bool ok() const { return m_ok; }
    bool commit() {
        m_done = true;
        if (!m_own) return true;
        if (m_db.exec("COMMIT")) return true;
        m_db.exec("ROLLBACK");
        return false;
    }

private:
    SqliteDb& m_db;
    bool m_own;
    bool m_ok = false;
    bool m_done = false;
};

}  // namespace

class SqliteRegistryTransaction final : public RegistryTransaction {
public:
    explicit SqliteRegistryTransaction(SqliteDb& db) : m_db(db) {}
    ~SqliteRegistryTransaction() override {
        if (!m_done) m_db.exec("ROLLBACK");
    }
    bool commit() override {
        if (m_done) return false;
        m_done = true;
        if (m_db.exec("COMMIT")) return true;
        m_db.exec("ROLLBACK");
        return false;
    }

private:
    SqliteDb& m_db;
    bool m_done = false;
};

SqliteRegistry::SqliteRegistry(Passkey, SqliteDb db, bool readOnly)
    : m_db(std::move(db)), m_readOnly(readOnly) {}

std::unique_ptr<SqliteRegistry> SqliteRegistry::open(const std::filesystem::path& file,
                                                     const Options& options) {
    int flags = SQLITE_OPEN_READONLY;
    if (!options.readOnly) {
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
        flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    return openConnection(file.string(), flags, options);
}

std::unique_ptr<SqliteRegistry> SqliteRegistry::openInMemory() {
    return openConnection(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, Options{});
}

std::unique_ptr<SqliteRegistry> SqliteRegistry::openConnection(const std::string& name, int flags,
                                                               const Options& options) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &raw, flags, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK) return nullptr;
    sqlite3_busy_timeout(db.get(), static_cast<int>(options.busyTimeout.count()));
    if (!db.exec("PRAGMA foreign_keys = ON")) return nullptr;

    // A file that is not a database, or a damaged one, is refused here, before anything
    // could be written into it.
    {
        SqliteStatement check = db.prepare("PRAGMA quick_check");
        if (!check || check.step() != SQLITE_ROW) return nullptr;
        const std::span<const std::uint8_t> result = check.columnBlob(0);
        if (std::string_view(reinterpret_cast<const char*>(result.data()), result.size()) != "ok") {
            return nullptr;
        }
    }
    const bool readOnly = options.readOnly || sqlite3_db_readonly(db.get(), "main") == 1;
    auto registry = std::make_unique<SqliteRegistry>(Passkey(), std::move(db), readOnly);
    if (!registry->prepareSchema()) return nullptr;
    return registry;
}

bool SqliteRegistry::prepareSchema() {
    std::int64_t version = -1;
    {
        SqliteStatement stmt = m_db.prepare("PRAGMA user_version");
        if (!stmt || stmt.step() != SQLITE_ROW) return false;
        version = stmt.columnInt(0);
    }
    if (version > kSchemaVersion) return false;
    if (m_readOnly) return version == kSchemaVersion;
    // Switching to WAL needs no lock when the file is in WAL already; a failure here only
    // leaves the rollback journal in use, which is just as safe.
    m_db.exec("PRAGMA journal_mode = WAL");
    m_db.exec("PRAGMA synchronous = FULL");
    if (version == kSchemaVersion) return true;
    WriteScope scope(m_db);
    if (!scope.ok() || !m_db.exec(kSchema)) return false;
    return scope.commit();
}

bool SqliteRegistry::inTransaction() const { return sqlite3_get_autocommit(m_db.get()) == 0; }

std::optional<std::int64_t> SqliteRegistry::childKey(std::int64_t parent,
                                                     std::u16string_view name) {
    SqliteStatement stmt = m_db.prepare("SELECT id FROM reg_key WHERE parent = ?1 AND folded = ?2");
    if (!stmt) return std::nullopt;
    stmt.bindInt(1, parent);
    stmt.bindBlob(2, foldedNameBytes(name));
    if (stmt.step() != SQLITE_ROW) return std::nullopt;
    return stmt.columnInt(0);
}

std::optional<std::int64_t> SqliteRegistry::findKey(Hive hive, std::u16string_view path) {
    const auto parts = splitPath(path);
    if (!parts) return std::nullopt;
    std::int64_t id = hiveId(hive);
    for (std::u16string_view part : *parts) {
        const std::optional<std::int64_t> child = childKey(id, part);
        if (!child) return std::nullopt;
        id = *child;
    }
    return id;
}

std::unique_ptr<RegistryKey> SqliteRegistry::createKey(Hive hive, std::u16string_view path) {
    if (m_readOnly) return nullptr;
    const auto parts = splitPath(path);
    if (!parts) return nullptr;
    // The write lock is taken even when the key exists: opening with full access means the
    // key can be written now.
    WriteScope scope(m_db);
    if (!scope.ok()) return nullptr;
    std::int64_t id = hiveId(hive);
    for (std::u16string_view part : *parts) {
        if (std::optional<std::int64_t> child = childKey(id, part)) {
            id = *child;
            continue;
        }
        SqliteStatement insert =
            m_db.prepare("INSERT INTO reg_key(parent, name, folded) VALUES(?1, ?2, ?3)");
        if (!insert) return nullptr;
        insert.bindInt(1, id);
        insert.bindBlob(2, storedNameBytes(part));
        insert.bindBlob(3, foldedNameBytes(part));
        if (!insert.run()) return nullptr;
        id = sqlite3_last_insert_rowid(m_db.get());
    }
    if (!scope.commit()) return nullptr;
    return std::make_unique<SqliteRegistryKey>(m_db, m_readOnly, id);
}

std::unique_ptr<RegistryKey> SqliteRegistry::openKey(Hive hive, std::u16string_view path) {
    const std::optional<std::int64_t> id = findKey(hive, path);
    if (!id) return nullptr;
    return std::make_unique<SqliteRegistryKey>(m_db, m_readOnly, *id);
}

bool SqliteRegistry::deleteKey(Hive hive, std::u16string_view path) {
    if (m_readOnly || path.empty()) return false;
    const std::optional<std::int64_t> id = findKey(hive, path);
    if (!id) return false;
    SqliteStatement stmt = m_db.prepare("DELETE FROM reg_key WHERE id = ?1");
    if (!stmt) return false;
    stmt.bindInt(1, *id);
    return stmt.run() && sqlite3_changes(m_db.get()) > 0;
}

std::unique_ptr<RegistryTransaction> SqliteRegistry::beginTransaction() {
    if (m_readOnly || inTransaction() || !m_db.exec("BEGIN IMMEDIATE")) return nullptr;
    return std::make_unique<SqliteRegistryTransaction>(m_db);
}

std::optional<std::filesystem::path> SqliteRegistry::defaultFile() {
    constexpr const char* kFileName = "registry.sqlite3";
    if (const char* dir = std::getenv("MELODECK_CONFIG_DIR"); dir && *dir) {
        return std::filesystem::path(dir) / kFileName;
    }
    // An XDG_CONFIG_HOME that is not absolute is to be ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "Melodeck" / kFileName;
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::filesystem::path(home) / ".config" / "Melodeck" / kFileName;
    }
    return std::nullopt;
}

}  // namespace melodeck

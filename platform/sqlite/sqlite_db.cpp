#include "sqlite_db.h"

#include <sqlite3.h>

namespace melodeck {

void SqliteStatement::Finalizer::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

void SqliteStatement::bindInt(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt.get(), index, value);
}

void SqliteStatement::bindBlob(int index, std::span<const std::uint8_t> bytes) {
    // A zero-length blob must still bind as a blob, not as NULL.
    static const std::uint8_t kEmpty = 0;
    sqlite3_bind_blob(m_stmt.get(), index, bytes.empty() ? &kEmpty : bytes.data(),
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index) { sqlite3_bind_null(m_stmt.get(), index); }

int SqliteStatement::step() { return m_stmt ? sqlite3_step(m_stmt.get()) : SQLITE_MISUSE; }

bool SqliteStatement::run() {
    int rc;
    while ((rc = step()) == SQLITE_ROW) {
    }
    return rc == SQLITE_DONE;
}

std::int64_t SqliteStatement::columnInt(int column) const {
    return sqlite3_column_int64(m_stmt.get(), column);
}

bool SqliteStatement::columnIsNull(int column) const {
    return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL;
}

std::span<const std::uint8_t> SqliteStatement::columnBlob(int column) const {
    const void* data = sqlite3_column_blob(m_stmt.get(), column);
    const int size = sqlite3_column_bytes(m_stmt.get(), column);
    if (!data || size <= 0) return {};
    return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

void SqliteDb::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

bool SqliteDb::exec(const char* sql) {
    return sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqliteStatement SqliteDb::prepare(std::string_view sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt);
        return {};
    }
    return SqliteStatement(stmt);
}

}  // namespace melodeck

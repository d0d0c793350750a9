#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace melodeck {

// Owns one prepared statement. Bind indexes start at 1, column indexes at 0.
class SqliteStatement {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* stmt) : m_stmt(stmt) {}

    explicit operator bool() const { return m_stmt != nullptr; }

    void bindInt(int index, std::int64_t value);
    void bindBlob(int index, std::span<const std::uint8_t> bytes);
    void bindNull(int index);

    // Runs the statement one step: SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // True when the statement ran to its end without error.
    bool run();

    std::int64_t columnInt(int column) const;
    bool columnIsNull(int column) const;
    std::span<const std::uint8_t> columnBlob(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
};

// Owns one database connection.
class SqliteDb {
public:
    SqliteDb() = default;
    explicit SqliteDb(sqlite3* db) : m_db(db) {}

    explicit operator bool() const { return m_db != nullptr; }
    sqlite3* get() const { return m_db.get(); }

    // Runs one or more statements without results; true on success.
    bool exec(const char* sql);
    // An empty statement when `sql` cannot be prepared.
    SqliteStatement prepare(std::string_view sql);

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> m_db;
};

}  // namespace melodeck

#include "sqlite_registry_key.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>

#include "stored_name.h"

namespace melodeck {

std::optional<RegData> SqliteRegistryKey::read(std::u16string_view name,
                                               std::size_t capacity) const {
    SqliteStatement stmt = m_db.prepare(
        "SELECT type, length(data), CASE WHEN length(data) <= ?3 THEN data END "
        "FROM reg_value WHERE key = ?1 AND folded = ?2");
    if (!stmt) return std::nullopt;
    stmt.bindInt(1, m_id);
    stmt.bindBlob(2, foldedNameBytes(name));
    stmt.bindInt(3, static_cast<std::int64_t>(std::min<std::size_t>(capacity, INT64_MAX)));
    if (stmt.step() != SQLITE_ROW) return std::nullopt;
    if (stmt.columnInt(1) > static_cast<std::int64_t>(capacity) || stmt.columnIsNull(2)) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> bytes = stmt.columnBlob(2);
    // length() counts characters for a text cell another program may have put there;
    // the byte count is what must fit.
    if (bytes.size() > capacity) return std::nullopt;
    RegData data;
    data.type = static_cast<ValueType>(static_cast<std::uint32_t>(stmt.columnInt(0)));
    data.bytes.assign(bytes.begin(), bytes.end());
    return data;
}

bool SqliteRegistryKey::write(std::u16string_view name, ValueType type,
                              std::span<const std::uint8_t> bytes) {
    if (m_readOnly) return false;
    SqliteStatement stmt = m_db.prepare(
        "INSERT INTO reg_value(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
        "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!stmt) return false;
    stmt.bindInt(1, m_id);
    stmt.bindBlob(2, storedNameBytes(name));
    stmt.bindBlob(3, foldedNameBytes(name));
    stmt.bindInt(4, static_cast<std::uint32_t>(type));
    stmt.bindBlob(5, bytes);
    return stmt.run();
}

bool SqliteRegistryKey::deleteValue(std::u16string_view name) {
    if (m_readOnly) return false;
    SqliteStatement stmt = m_db.prepare("DELETE FROM reg_value WHERE key = ?1 AND folded = ?2");
    if (!stmt) return false;
    stmt.bindInt(1, m_id);
    stmt.bindBlob(2, foldedNameBytes(name));
    return stmt.run() && sqlite3_changes(m_db.get()) > 0;
}

std::vector<std::u16string> SqliteRegistryKey::subkeys() const {
    std::vector<std::u16string> names;
    SqliteStatement stmt = m_db.prepare("SELECT name FROM reg_key WHERE parent = ?1 ORDER BY id");
    if (!stmt) return names;
    stmt.bindInt(1, m_id);
    while (stmt.step() == SQLITE_ROW) names.push_back(nameFromStoredBytes(stmt.columnBlob(0)));
    return names;
}

std::vector<RegValue> SqliteRegistryKey::values() const {
    std::vector<RegValue> values;
    SqliteStatement stmt =
        m_db.prepare("SELECT name, type, data FROM reg_value WHERE key = ?1 ORDER BY rowid");
    if (!stmt) return values;
    stmt.bindInt(1, m_id);
    while (stmt.step() == SQLITE_ROW) {
        RegValue value;
        value.name = nameFromStoredBytes(stmt.columnBlob(0));
        value.data.type = static_cast<ValueType>(static_cast<std::uint32_t>(stmt.columnInt(1)));
        const std::span<const std::uint8_t> bytes = stmt.columnBlob(2);
        value.data.bytes.assign(bytes.begin(), bytes.end());
        values.push_back(std::move(value));
    }
    return values;
}

}  // namespace melodeck

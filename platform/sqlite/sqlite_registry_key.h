#pragma once

#include <cstdint>

#include "registry.h"
#include "sqlite_db.h"

namespace melodeck {

// One key of a SqliteRegistry, by its row id. The connection `db` belongs to the registry,
// which must outlive the key. A key whose row is gone fails every call.
class SqliteRegistryKey final : public RegistryKey {
public:
    SqliteRegistryKey(SqliteDb& db, bool readOnly, std::int64_t id)
        : m_db(db), m_readOnly(readOnly), m_id(id) {}

    std::optional<RegData> read(std::u16string_view name, std::size_t capacity) const override;
    bool write(std::u16string_view name, ValueType type,
               std::span<const std::uint8_t> bytes) override;
    bool deleteValue(std::u16string_view name) override;
    std::vector<std::u16string> subkeys() const override;
    std::vector<RegValue> values() const override;

private:
    SqliteDb& m_db;
    bool m_readOnly;
    std::int64_t m_id;
};

}  // namespace melodeck

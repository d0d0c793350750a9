#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck {

// The three top-level trees of the store.
enum class Hive : std::uint8_t {
    ClassesRoot = 0,   // HKEY_CLASSES_ROOT: file types and their openers
    CurrentUser = 1,   // HKEY_CURRENT_USER: the user's settings
    LocalMachine = 2,  // HKEY_LOCAL_MACHINE
};
inline constexpr Hive kAllHives[] = {Hive::ClassesRoot, Hive::CurrentUser, Hive::LocalMachine};

// Value types, numbered as in .reg files. Other numbers may be stored and are kept as they are.
enum class ValueType : std::uint32_t {
    String = 1,  // NUL-terminated UTF-16LE; the byte count includes the terminator
    Binary = 3,
    Dword = 4,  // 32-bit little-endian
};

// One stored value: its type and its bytes exactly as written.
struct RegData {
    ValueType type = ValueType::Binary;
    std::vector<std::uint8_t> bytes;
};

// One value as enumerated: its name as first written ("" is the key's default value).
struct RegValue {
    std::u16string name;
    RegData data;
};

// An open key. Value names compare case-insensitively and keep the case they were first
// written with. A key object must not outlive the Registry that opened it. Every call
// reports failure instead of throwing; a key deleted while open fails every call.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Reads value `name` into a buffer of `capacity` bytes: the value's type and bytes, or
    // nullopt when the value is missing, larger than `capacity`, or cannot be read. The type
    // is not checked; callers that need one look at RegData::type.
    virtual std::optional<RegData> read(std::u16string_view name, std::size_t capacity) const = 0;
    // Creates or replaces value `name`. False when it cannot be written.
    virtual bool write(std::u16string_view name, ValueType type,
                       std::span<const std::uint8_t> bytes) = 0;
    // False when the value did not exist or cannot be deleted.
    virtual bool deleteValue(std::u16string_view name) = 0;

    // Names of the direct subkeys, in the order they were created.
    virtual std::vector<std::u16string> subkeys() const = 0;
    // Every value of the key, in the order they were first written.
    virtual std::vector<RegValue> values() const = 0;
};

// Groups writes into one atomic change. Destroying it without a successful commit() undoes
// every write made since it began.
class RegistryTransaction {
public:
    virtual ~RegistryTransaction() = default;
    // True when every write since the start is stored durably; false leaves the store as it
    // was before the transaction.
    virtual bool commit() = 0;
};

// A store of keys and typed values organised like a registry. Key paths are relative to a
// hive, components separated by "\\"; "" names the hive itself. Empty components (a
// leading, trailing or doubled "\\") make a path invalid. Key names compare
// case-insensitively and keep the case they were first created with.
//
// Not thread-safe: one thread uses a registry and its keys.
class Registry {
public:
    virtual ~Registry() = default;

    // Opens the key, creating it and any missing parents, for reading and writing. Null when
    // the path is invalid or the store cannot be written (read-only, locked, broken).
    virtual std::unique_ptr<RegistryKey> createKey(Hive hive, std::u16string_view path) = 0;
    // Opens an existing key. Null when it does not exist or the store cannot be read.
    virtual std::unique_ptr<RegistryKey> openKey(Hive hive, std::u16string_view path) = 0;
    // Deletes the key with all its subkeys and values. False when it did not exist or the
    // store cannot be written. A hive itself cannot be deleted.
    virtual bool deleteKey(Hive hive, std::u16string_view path) = 0;

    // Starts a transaction; the writes through this registry's keys until it ends belong to
    // it. Null when the store cannot be written now or a transaction is already open.
    virtual std::unique_ptr<RegistryTransaction> beginTransaction() = 0;
};

}  // namespace melodeck

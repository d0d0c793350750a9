#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry.h"

namespace melodeck {

// Encoding and decoding of the value types, and shortcuts for reading and writing them.

// UTF-16LE code units followed by a NUL unit: (text.size() + 1) * 2 bytes.
std::vector<std::uint8_t> stringValueBytes(std::u16string_view text);
// Four bytes, little-endian.
std::vector<std::uint8_t> dwordValueBytes(std::uint32_t value);

// The text held by string bytes: the UTF-16LE units before the first NUL unit, or all of
// them when there is none (an odd last byte is ignored).
std::u16string valueText(std::span<const std::uint8_t> bytes);
// True when the bytes hold a NUL unit.
bool valueHasTerminator(std::span<const std::uint8_t> bytes);

// Reads value `name` as text into a buffer of `capacityBytes`. Nullopt when it cannot be
// read, or when it fills the whole buffer without a NUL unit (it would have no terminator).
std::optional<std::u16string> readText(const RegistryKey& key, std::u16string_view name,
                                       std::size_t capacityBytes);

bool writeText(RegistryKey& key, std::u16string_view name, std::u16string_view text);
bool writeDword(RegistryKey& key, std::u16string_view name, std::uint32_t value);
bool writeBinary(RegistryKey& key, std::u16string_view name, std::span<const std::uint8_t> bytes);

}  // namespace melodeck

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck {

// How key and value names are kept in the database: as UTF-16LE bytes, so every unit
// survives exactly, next to a folded form that lookups compare.

// The form in which names are compared: letters of ASCII, Latin-1, Greek and Cyrillic
// turned to upper case one unit at a time; everything else as it is. Two names are the
// same name when their folded forms are equal.
std::u16string foldCase(std::u16string_view name);

std::vector<std::uint8_t> storedNameBytes(std::u16string_view name);
std::vector<std::uint8_t> foldedNameBytes(std::u16string_view name);
// The name held by stored bytes; an odd last byte is ignored.
std::u16string nameFromStoredBytes(std::span<const std::uint8_t> bytes);

}  // namespace melodeck

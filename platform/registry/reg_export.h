#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "registry.h"

namespace melodeck {

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
std::string_view hiveName(Hive hive);
// A hive by its full name or its short form ("HKCU", "HKCR", "HKLM"), any case.
std::optional<Hive> parseHive(std::string_view name);

// The keys and values of `hives` as the UTF-8 text of a .reg file: the version line, then
// one "[HIVE\path]" section per key (a hive's own section only when it holds values), its
// values as "name"="text", "name"=dword:0000000c, "name"=hex:.. or @ for the default
// value. Keys and values come in the order they were created. A string value that cannot
// be shown as quoted text (no terminator where expected, control characters, broken
// UTF-16) is written as hex(1): with its exact bytes, as is any other type.
std::string exportRegText(Registry& registry, std::span<const Hive> hives);

}  // namespace melodeck

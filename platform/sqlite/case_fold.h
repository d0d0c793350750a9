#pragma once

#include <string>
#include <string_view>

namespace melodeck {

// The form in which key and value names are compared: letters of ASCII, Latin-1, Greek and
// Cyrillic turned to upper case one unit at a time; everything else as it is. Two names
// are the same name when their folded forms are equal.
std::u16string foldCase(std::u16string_view name);

}  // namespace melodeck

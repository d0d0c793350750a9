#include "stored_name.h"

namespace melodeck {
namespace {

char16_t foldUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0xB5) return c;
    if (c == 0xB5) return 0x39C;  // micro sign folds with Greek mu
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

}  // namespace

std::u16string foldCase(std::u16string_view name) {
    std::u16string folded(name);
    for (char16_t& c : folded) c = foldUnit(c);
    return folded;
}

std::vector<std::uint8_t> storedNameBytes(std::u16string_view name) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(name.size() * 2);
    for (char16_t unit : name) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> foldedNameBytes(std::u16string_view name) {
    return storedNameBytes(foldCase(name));
}

std::u16string nameFromStoredBytes(std::span<const std::uint8_t> bytes) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        name.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return name;
}

}  // namespace melodeck

#include "registry_values.h"

namespace melodeck {

std::vector<std::uint8_t> stringValueBytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> dwordValueBytes(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::u16string valueText(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

bool valueHasTerminator(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == 0 && bytes[i + 1] == 0) return true;
    }
    return false;
}

std::optional<std::u16string> readText(const RegistryKey& key, std::u16string_view name,
                                       std::size_t capacityBytes) {
    std::optional<RegData> data = key.read(name, capacityBytes);
    if (!data) return std::nullopt;
    // A value without a terminator that fills the buffer would leave the text unterminated
    // in a buffer of that size; treat it as unreadable rather than guess where it ends.
    if (!valueHasTerminator(data->bytes) && data->bytes.size() + 1 >= capacityBytes) {
        return std::nullopt;
    }
    return valueText(data->bytes);
}

bool writeText(RegistryKey& key, std::u16string_view name, std::u16string_view text) {
    return key.write(name, ValueType::String, stringValueBytes(text));
}

bool writeDword(RegistryKey& key, std::u16string_view name, std::uint32_t value) {
    return key.write(name, ValueType::Dword, dwordValueBytes(value));
}

bool writeBinary(RegistryKey& key, std::u16string_view name, std::span<const std::uint8_t> bytes) {
    return key.write(name, ValueType::Binary, bytes);
}

}  // namespace melodeck

#include "reg_export.h"

#include "utf8.h"

#include <cstdio>
#include <vector>

#include "registry_values.h"

namespace melodeck {
namespace {

// Deeper paths than this are not followed; only a damaged store has them.
constexpr int kMaxDepth = 512;
// Hex lines are continued with a backslash once they pass this column.
constexpr std::size_t kHexLineWidth = 76;

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    }
    return true;
}


// UTF-8 of `text`; nullopt for a lone surrogate. Unpaired halves become U+FFFD when
// `lenient`, which is how names (which have no hex form) are shown.
std::optional<std::string> toUtf8(std::u16string_view text, bool lenient) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            if (!lenient) return std::nullopt;
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string valueNameText(std::u16string_view name) {
    if (name.empty()) return "@";
    return quoted(*toUtf8(name, true));
}

// The quoted form of a string value, when its bytes are exactly one clean text and its
// terminator.
std::optional<std::string> plainString(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
    std::u16string text = valueText(bytes);
    if ((text.size() + 1) * 2 != bytes.size()) return std::nullopt;
    for (char16_t unit : text) {
        if (unit < 0x20 || unit == 0x7F) return std::nullopt;
    }
    std::optional<std::string> utf8 = toUtf8(text, false);
    if (!utf8) return std::nullopt;
    return quoted(*utf8);
}

void appendHex(std::string& line, std::string_view prefix, const std::vector<std::uint8_t>& bytes) {
    line += prefix;
    std::size_t column = line.size();
    char buffer[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, "%02x", bytes[i]);
        line += buffer;
        column += 2;
        if (i + 1 < bytes.size()) {
            line += ',';
            ++column;
            if (column > kHexLineWidth) {
                line += "\\\n  ";
                column = 2;
            }
        }
    }
}

std::string valueLine(const RegValue& value) {
    std::string line = valueNameText(value.name) + "=";
    const RegData& data = value.data;
    if (data.type == ValueType::String) {
        if (std::optional<std::string> text = plainString(data.bytes)) {
            return line + *text;
        }
    } else if (data.type == ValueType::Dword && data.bytes.size() == 4) {
        const std::uint32_t number = data.bytes[0] | (data.bytes[1] << 8) | (data.bytes[2] << 16) |
                                     (static_cast<std::uint32_t>(data.bytes[3]) << 24);
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        return line + buffer;
    } else if (data.type == ValueType::Binary) {
        appendHex(line, "hex:", data.bytes);
        return line;
    }
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(data.type));
    appendHex(line, prefix, data.bytes);
    return line;
}

void exportKey(Registry& registry, Hive hive, const std::u16string& path, int depth,
               std::string& out) {
    if (depth > kMaxDepth) return;
    std::unique_ptr<RegistryKey> key = registry.openKey(hive, path);
    if (!key) return;
    const std::vector<RegValue> values = key->values();
    if (!path.empty() || !values.empty()) {
        out += '[';
        out += hiveName(hive);
        if (!path.empty()) {
            out += '\\';
            out += *toUtf8(path, true);
        }
        out += "]\n";
        for (const RegValue& value : values) {
            out += valueLine(value);
            out += '\n';
        }
        out += '\n';
    }
    for (const std::u16string& name : key->subkeys()) {
        exportKey(registry, hive, path.empty() ? name : path + u"\\" + name, depth + 1, out);
    }
}

}  // namespace

std::string_view hiveName(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case Hive::CurrentUser:
            return "HKEY_CURRENT_USER";
        case Hive::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return "";
}

std::optional<Hive> parseHive(std::string_view name) {
    static constexpr std::string_view kShort[] = {"HKCR", "HKCU", "HKLM"};
    for (Hive hive : kAllHives) {
        if (equalsNoCase(name, hiveName(hive)) ||
            equalsNoCase(name, kShort[static_cast<int>(hive)])) {
            return hive;
        }
    }
    return std::nullopt;
}

std::string exportRegText(Registry& registry, std::span<const Hive> hives) {
    std::string out = "Windows Registry Editor Version 5.00\n\n";
    for (Hive hive : hives) exportKey(registry, hive, u"", 0, out);
    return out;
}

}  // namespace melodeck

#include "app_paths.h"

#include <system_error>

#include "utf8.h"

namespace melodeck {
namespace {

#ifndef MELODECK_BUILD_DATA_DIR
#define MELODECK_BUILD_DATA_DIR ""
#endif

// Decodes UTF-8 by hand: the library's conversion throws on bytes that are not UTF-8, and
// file names on Linux may hold any bytes.
std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80           ? 0
                    : (lead >> 5) == 0x6  ? 1
                    : (lead >> 4) == 0xE  ? 2
                    : (lead >> 3) == 0x1E ? 3
                                          : -1;
        char32_t cp = extra == 0   ? lead
                      : extra == 1 ? (lead & 0x1F)
                      : extra == 2 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (next & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) {
            ok = false;
        }
        if (!ok) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// Encodes by hand for the same reason: a stored text may hold a lone surrogate.
std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

}  // namespace

std::filesystem::path textPath(std::u16string_view text) {
    return std::filesystem::path(utf16ToUtf8(text));
}

std::u16string pathText(const std::filesystem::path& path) { return utf8ToUtf16(path.native()); }

AppPaths AppPaths::forProgram(const std::filesystem::path& programFile) {
    AppPaths paths;
    paths.programFile = programFile;
    std::error_code error;
    const std::filesystem::path installed =
        programFile.parent_path().parent_path() / "share" / "melodeck";
    if (std::filesystem::is_directory(installed, error)) {
        paths.dataFolder = installed;
    } else {
        paths.dataFolder = MELODECK_BUILD_DATA_DIR;
    }
    return paths;
}

std::optional<std::filesystem::path> AppPaths::runningProgram() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

std::u16string AppPaths::programFolderText() const {
    std::u16string text = pathText(dataFolder);
    if (text.empty() || text.back() != u'/') text.push_back(u'/');
    return text;
}

std::u16string AppPaths::programFileText() const { return pathText(programFile); }

}  // namespace melodeck

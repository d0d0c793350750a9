#include "app_paths.h"

#include <system_error>

#include "utf8.h"

namespace melodeck {
namespace {

#ifndef MELODECK_BUILD_DATA_DIR
#define MELODECK_BUILD_DATA_DIR ""
#endif

// Decodes UTF-8 by hand: the library's conversion throws on bytes that are not UTF-8, and
// file names on Linux may hold any bytes. Each such byte becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(text.substr(i), cp);
        if (length == 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        appendUtf16(out, cp);
        i += length;
    }
    return out;
}

}  // namespace

std::filesystem::path textPath(std::u16string_view text) {
    // A stored text may hold a lone surrogate, which becomes U+FFFD.
    return std::filesystem::path(toUtf8(text));
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

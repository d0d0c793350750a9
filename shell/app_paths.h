#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace melodeck {

// Where the program is and where its read-only data (Images, KaraokeFiles) lies.
struct AppPaths {
    std::filesystem::path programFile;  // the running program's full path
    std::filesystem::path dataFolder;   // holds Images/ and KaraokeFiles/

    // The paths for the program at `programFile`: installed as <prefix>/bin/melodeck, the
    // data is <prefix>/share/melodeck; otherwise (a build tree) the source tree's data/.
    static AppPaths forProgram(const std::filesystem::path& programFile);
    // The running program's path from /proc/self/exe; nullopt when it cannot be read.
    static std::optional<std::filesystem::path> runningProgram();

    // dataFolder as text, ending with "/".
    std::u16string programFolderText() const;
    std::u16string programFileText() const;
};

// A path as UTF-16 text. Bytes that are not UTF-8 become U+FFFD instead of failing.
std::u16string pathText(const std::filesystem::path& path);
// UTF-16 text as a path (in UTF-8). Lone surrogates become U+FFFD instead of failing.
std::filesystem::path textPath(std::u16string_view text);

}  // namespace melodeck

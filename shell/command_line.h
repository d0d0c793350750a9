#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck {

// True when `path` names a playlist: the (at most four) characters after its last dot,
// lower-cased, are "m3u". "A.M3U" counts; "a.m3u8" and a name without a dot do not.
bool isPlaylistPath(std::u16string_view path);

// The folder part of `path`: everything before its last "/" (the slash goes); a path
// without one stays whole. Cut to `maxUnits` units.
std::u16string folderOfPath(std::u16string_view path, std::size_t maxUnits);

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::optional<std::string> file;  // the one file to open, as given
    std::string error;                // for Action::Error, what was wrong
};

// Reads the arguments after the program's name. "--help"/"-h" and "--version" win over
// everything else; any other argument starting with "-" is an error, as is a second file.
// "--" ends the options, so a file whose name starts with "-" can still be named.
CommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace melodeck

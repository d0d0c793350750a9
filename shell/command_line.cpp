#include "command_line.h"

namespace melodeck {

bool isPlaylistPath(std::u16string_view path) {
    const std::size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    std::u16string ext(path.substr(dot + 1, 4));
    for (char16_t& c : ext) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return ext == u"m3u";
}

std::u16string folderOfPath(std::u16string_view path, std::size_t maxUnits) {
    const std::size_t slash = path.rfind(u'/');
    std::u16string_view folder = slash == std::u16string_view::npos ? path : path.substr(0, slash);
    return std::u16string(folder.substr(0, maxUnits));
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            return {CommandLine::Action::Help, std::nullopt, {}};
        } else if (!optionsEnded && arg == "--version") {
            return {CommandLine::Action::Version, std::nullopt, {}};
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            if (line.action != CommandLine::Action::Error) {
                line.action = CommandLine::Action::Error;
                line.error = "unknown option '" + arg + "'";
            }
        } else if (line.file) {
            if (line.action != CommandLine::Action::Error) {
                line.action = CommandLine::Action::Error;
                line.error = "only one file may be named";
            }
        } else {
            line.file = arg;
        }
    }
    return line;
}

}  // namespace melodeck

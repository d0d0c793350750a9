#include "instrument_setup.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

namespace melodeck {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxSourceDepth = 8;
constexpr std::u16string_view kDefaultConfigName = u"timidity.cfg";

bool isReadableFile(const fs::path& p) {
    std::error_code ec;
    if (!fs::is_regular_file(p, ec)) return false;
    std::ifstream in(p, std::ios::binary);
    return in.good();
}

std::optional<std::string> readWholeFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

bool hasSoundFontExtension(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return ext == ".sf2" || ext == ".sf3";
}

// Splits a configuration line into words; a word in double quotes may hold spaces, and an
// unquoted '#' ends the line.
std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size() || line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            word.assign(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
                word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<fs::path> findIn(const fs::path& name, const std::vector<fs::path>& dirs) {
    if (name.is_absolute()) return isReadableFile(name) ? std::optional(name) : std::nullopt;
    for (const fs::path& dir : dirs) {
        const fs::path candidate = dir / name;
        if (isReadableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

void appendOnce(std::vector<fs::path>& list, const fs::path& p) {
    if (std::find(list.begin(), list.end(), p) == list.end()) list.push_back(p);
}

// The stored name as UTF-8 bytes for a path. A stored name may hold anything, and the
// standard conversion throws on an unpaired surrogate: such a unit becomes U+FFFD instead.
std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::vector<fs::path> searchDirs(const InstrumentSearch& search) {
    std::vector<fs::path> dirs;
    if (!search.programDir.empty()) dirs.push_back(search.programDir);
    dirs.insert(dirs.end(), search.systemDirs.begin(), search.systemDirs.end());
    return dirs;
}

}  // namespace

InstrumentSearch defaultInstrumentSearch() {
    InstrumentSearch search;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) search.programDir = exe.parent_path();
    if (!search.programDir.empty())
        search.systemDirs.push_back(search.programDir / "../share/melodeck");
    for (const char* dir : {"/etc/timidity", "/etc", "/usr/share/timidity",
                            "/usr/local/share/timidity", "/usr/local/lib/timidity"})
        search.systemDirs.emplace_back(dir);
    search.defaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    return search;
}

std::vector<fs::path> soundFontsFromConfigText(std::string_view text, const fs::path& cfgDir,
                                               std::vector<std::string>& missing, int depth) {
    std::vector<fs::path> fonts;
    // Relative names are looked for beside the file first, then in the "dir" folders, the
    // latest one first, as TiMidity does.
    std::vector<fs::path> dirs{cfgDir};
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::vector<std::string> words = splitWords(text.substr(start, end - start));
        start = end + 1;
        if (words.size() < 2) continue;
        const std::string& directive = words[0];
        if (directive == "dir") {
            const fs::path dir =
                fs::path(words[1]).is_absolute() ? fs::path(words[1]) : cfgDir / words[1];
            dirs.insert(dirs.begin() + 1, dir);
        } else if (directive == "soundfont" || directive == "%font" ||
                   (words.size() >= 3 && words[1] == "%font")) {
            // A program of a bank may come from a SoundFont: "PROGRAM %font FILE BANK PRESET".
            const std::string& name = words[1] == "%font" ? words[2] : words[1];
            if (const auto found = findIn(name, dirs))
                appendOnce(fonts, *found);
            else if (std::find(missing.begin(), missing.end(), name) == missing.end())
                missing.push_back(name);
        } else if (directive == "source" && depth < kMaxSourceDepth) {
            const auto found = findIn(words[1], dirs);
            const auto nested = found ? readWholeFile(*found) : std::nullopt;
            if (!nested) {
                missing.push_back(words[1]);
                continue;
            }
            for (const fs::path& p :
                 soundFontsFromConfigText(*nested, found->parent_path(), missing, depth + 1))
                appendOnce(fonts, p);
        }
    }
    return fonts;
}

InstrumentSetup resolveInstrumentSetup(std::u16string_view configFile,
                                       const InstrumentSearch& search) {
    InstrumentSetup setup;
    const std::u16string_view name = configFile.empty() ? kDefaultConfigName : configFile;
    const bool isDefaultName = name == kDefaultConfigName;
    const fs::path named{toUtf8(name)};
    const auto found = findIn(named, searchDirs(search));

    if (hasSoundFontExtension(named)) {
        if (found)
            setup.soundFonts.push_back(*found);
        else
            setup.problem =
                "Could not open the SoundFont '" + named.string() + "'. Songs will play silently.";
        return setup;
    }

    if (!found) {
        if (!isDefaultName) {
            setup.problem = "Could not open the synthesizer configuration '" + named.string() +
                            "'. Songs will play silently.";
        } else if (isReadableFile(search.defaultSoundFont)) {
            setup.soundFonts.push_back(search.defaultSoundFont);
        } else {
            setup.problem = "No SoundFont found: install one at '" +
                            search.defaultSoundFont.string() +
                            "' or name one in the playback options. Songs will play silently.";
        }
        return setup;
    }

    std::vector<std::string> missing;
    const auto text = readWholeFile(*found);
    if (text) setup.soundFonts = soundFontsFromConfigText(*text, found->parent_path(), missing);
    if (!missing.empty()) {
        setup.problem = "The synthesizer configuration '" + found->string() +
                        "' names a SoundFont that cannot be found: '" + missing.front() + "'.";
    } else if (setup.soundFonts.empty()) {
        // A system configuration made for TiMidity's own patches names no SoundFont; the
        // default one then serves, as if no configuration had been found.
        if (isDefaultName && isReadableFile(search.defaultSoundFont)) {
            setup.soundFonts.push_back(search.defaultSoundFont);
        } else {
            setup.problem = "The synthesizer configuration '" + found->string() +
                            "' names no SoundFont. Songs will play silently.";
        }
    }
    return setup;
}

}  // namespace melodeck

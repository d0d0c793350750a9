#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace melodeck {

// Where an instrument setup named without a folder is looked for.
struct InstrumentSearch {
    std::filesystem::path programDir;               // the executable's folder
    std::vector<std::filesystem::path> systemDirs;  // searched after programDir, in order
    std::filesystem::path defaultSoundFont;         // used when no "timidity.cfg" is found
};

// The search of this machine: the folder of /proc/self/exe (and its ../share/melodeck), then
// /etc/timidity, /etc, /usr/share/timidity, /usr/local/share/timidity, /usr/local/lib/timidity;
// the default is the system's General MIDI SoundFont.
InstrumentSearch defaultInstrumentSearch();

// The SoundFonts an instrument setup names, in loading order.
struct InstrumentSetup {
    std::vector<std::filesystem::path> soundFonts;
    // Empty when the setup was found whole; else one message for the user (UTF-8) saying what
    // is missing. Whatever was found is still listed in soundFonts.
    std::string problem;
};

// Resolves the configured instrument setup `configFile` (the record's ConfigFile: a SoundFont
// ".sf2"/".sf3", or a TiMidity-style configuration file; empty means "timidity.cfg").
// A relative name is looked for in the search's folders. Only the default name may silently
// fall back to the default SoundFont: a named setup that cannot be found is a problem to
// report, as is a missing default. Reads files; never throws.
InstrumentSetup resolveInstrumentSetup(std::u16string_view configFile,
                                       const InstrumentSearch& search);

// The SoundFonts named by the text of a configuration file that lives in `cfgDir`:
// "soundfont NAME" lines and the SoundFont files of "%font" lines (alone or as a bank's
// program, "0 %font NAME 0 0"), each once, in order;
// "dir PATH" adds a folder where later relative names are also looked for; "source FILE"
// reads another configuration file (relative to cfgDir; nesting stops at 8 levels).
// '#' starts a comment; names may be in double quotes. Names that cannot be found are
// appended to `missing`. Other directives (patches, banks, options) are ignored.
std::vector<std::filesystem::path> soundFontsFromConfigText(std::string_view text,
                                                            const std::filesystem::path& cfgDir,
                                                            std::vector<std::string>& missing,
                                                            int depth = 0);

}  // namespace melodeck

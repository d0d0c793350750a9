// melodeck-tool lyrics: the song's information lines, then its lyric lines laid out without
// a width limit, so lines break only at the file's marks and at long pauses.

#include <cstdio>
#include <limits>
#include <string>

#include "args.h"
#include "commands.h"
#include "json_writer.h"
#include "lyr_text.h"
#include "song_session.h"

namespace melodeck::tool {

int runLyrics(const Args& args) {
    if (!args.check(1, {"lang"})) return 1;
    const auto lang = args.integer("lang", kLanguageEnglish, std::numeric_limits<std::int32_t>::min(),
                                   std::numeric_limits<std::int32_t>::max());
    if (!lang) return 1;
    const auto session = SongSession::load(args);
    if (!session) return 2;

    CLyrText engine(session->notifier());
    const auto options = unlimitedWidthOptions(static_cast<std::int32_t>(*lang), 22050);
    session->openAndLayout(engine, options);
    // Information lines are converted too, also for a song without syllables.
    if (engine.languageCode() != options.lang) engine.loadCharTable(options.lang);
    printMessages(session->notifier(), "lyrics");

    std::string out;
    for (const InfoEntry& entry : engine.info()) {
        out += utf16ToUtf8(engine.infoLineText(entry));
        out += '\n';
    }
    for (const LyricLine& line : engine.lines()) {
        if (line.pageStart != 0) out += '\n';
        out += utf16ToUtf8(line.text);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace melodeck::tool

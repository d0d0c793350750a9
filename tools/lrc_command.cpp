// melodeck-tool lrc: the lyrics as an enhanced LRC file, one line per lyric line at its
// first syllable's time, each syllable preceded by its own time.

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <limits>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "json_writer.h"
#include "lyr_text.h"
#include "song_session.h"

namespace melodeck::tool {
namespace {

// "mm:ss.xx" for a time in output samples; minutes run past 99 when they must. A negative
// time, which only a broken file can give, shows as 00:00.00.
std::string lrcTime(std::int64_t samples, std::uint32_t rate) {
    const std::int64_t hundredths = samples <= 0 ? 0 : samples * 100 / rate;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld.%02lld",
                  static_cast<long long>(hundredths / 6000),
                  static_cast<long long>(hundredths / 100 % 60),
                  static_cast<long long>(hundredths % 100));
    return text;
}


}  // namespace

int runLrc(const Args& args) {
    if (!args.check(1, {"lang", "rate"})) return 1;
    constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
    const auto lang =
        args.integer("lang", kLanguageEnglish, std::numeric_limits<std::int32_t>::min(), kInt32Max);
    const auto rate = args.integer("rate", 22050, 1, std::numeric_limits<std::uint32_t>::max());
    if (!lang || !rate) return 1;
    const auto session = SongSession::load(args);
    if (!session) return 2;

    CLyrText engine(session->notifier());
    const auto options =
        unlimitedWidthOptions(static_cast<std::int32_t>(*lang), static_cast<std::uint32_t>(*rate));
    session->openAndLayout(engine, options);
    if (engine.languageCode() != options.lang) engine.loadCharTable(options.lang);
    printMessages(session->notifier(), "lrc");

    std::string out;
    for (const InfoEntry& entry : engine.info()) {
        if (entry.text.starts_with("@T")) {
            out += "[ti:" + utf16ToUtf8(engine.infoLineText(entry)) + "]\n";
            break;
        }
    }

    // Each line's syllables in the order of the song; markers and split-off parts that
    // belong to no line are left out.
    std::vector<std::vector<const SongEvent*>> syllablesOfLine(engine.lines().size());
    std::unordered_map<const LyricLine*, std::size_t> lineIndex;
    for (const LyricLine& line : engine.lines()) lineIndex.emplace(&line, lineIndex.size());
    for (const SongEvent& event : engine.events()) {
        if (!event.text || event.line == nullptr) continue;
        const auto found = lineIndex.find(event.line);
        if (found != lineIndex.end()) syllablesOfLine[found->second].push_back(&event);
    }

    std::size_t index = 0;
    for (const LyricLine& line : engine.lines()) {
        const auto& syllables = syllablesOfLine[index++];
        if (syllables.empty()) continue;  // a blank line has no time of its own
        const std::u16string_view text = line.text;
        out += "[" + lrcTime(syllables.front()->sampleTime, options.rate) + "]";
        std::size_t done = 0;
        for (const SongEvent* syllable : syllables) {
            const std::size_t begin =
                std::min<std::size_t>(static_cast<std::size_t>(std::max(0, syllable->lineOffset)),
                                      text.size());
            const std::size_t end = std::min<std::size_t>(
                begin + static_cast<std::size_t>(std::max(0, syllable->length)), text.size());
            // Characters no syllable claims (none in a well-formed layout) are kept in place.
            if (begin > done) out += utf16ToUtf8(text.substr(done, begin - done));
            out += "<" + lrcTime(syllable->sampleTime, options.rate) + ">";
            if (end > std::max(begin, done)) {
                const std::size_t from = std::max(begin, done);
                out += utf16ToUtf8(text.substr(from, end - from));
            }
            done = std::max(done, end);
        }
        if (done < text.size()) out += utf16ToUtf8(text.substr(done));
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace melodeck::tool

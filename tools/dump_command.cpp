// melodeck-tool dump: what the engine reads and lays out, as one JSON object.

#include <cstdio>

#include "args.h"
#include "commands.h"
#include "json_writer.h"
#include "lyr_text.h"
#include "song_json.h"
#include "song_session.h"

namespace melodeck::tool {

int runDump(const Args& args) {
    if (!args.check(1, {"stage", "rate", "lang", "ldelay", "width", "metrics"})) return 1;
    const auto options = readSessionOptions(args);
    if (!options) return 1;
    const auto session = SongSession::load(args);
    if (!session) return 2;

    CLyrText engine(session->notifier());
    const bool accepted = session->openAndLayout(engine, *options);
    JsonWriter json;
    writeSongJson(json, engine, accepted, session->notifier().messages());
    std::fwrite(json.text().data(), 1, json.text().size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

}  // namespace melodeck::tool

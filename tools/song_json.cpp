#include "song_json.h"

namespace melodeck::tool {
namespace {

std::unordered_map<const LyricLine*, std::int64_t> lineIndices(const CLyrText& engine) {
    std::unordered_map<const LyricLine*, std::int64_t> indices;
    std::int64_t index = 0;
    for (const LyricLine& line : engine.lines()) indices.emplace(&line, index++);
    return indices;
}

}  // namespace

std::unordered_map<const SongEvent*, std::int64_t> eventIndices(const CLyrText& engine) {
    std::unordered_map<const SongEvent*, std::int64_t> indices;
    std::int64_t index = 0;
    for (const SongEvent& event : engine.events()) indices.emplace(&event, index++);
    return indices;
}

void writeSongJson(JsonWriter& json, const CLyrText& engine, bool accepted,
                   const std::vector<std::string>& messages) {
    const auto lineIndex = lineIndices(engine);
    json.beginObject();
    json.key("accepted");
    json.value(accepted);
    json.key("messages");
    json.beginArray();
    for (const std::string& message : messages) json.utf8String(message);
    json.endArray();
    json.key("format");
    json.value(std::int64_t{engine.format()});
    json.key("tracks");
    json.value(std::int64_t{engine.trackCount()});
    json.key("division");
    json.value(std::int64_t{engine.division()});
    json.key("eventCount");
    json.value(std::int64_t{engine.eventCount()});

    json.key("events");
    json.beginArray();
    for (const SongEvent& event : engine.events()) {
        json.beginObject();
        json.key("tick");
        json.value(std::int64_t{event.tick});
        json.key("sampleTime");
        json.value(std::int64_t{event.sampleTime});
        json.key("tempo");
        json.value(std::int64_t{event.tempo});
        json.key("marker");
        json.value(std::int64_t{event.marker});
        json.key("text");
        if (event.text) {
            json.latin1String(*event.text);
        } else {
            json.null();
        }
        json.key("line");
        const auto found = event.line ? lineIndex.find(event.line) : lineIndex.end();
        if (found != lineIndex.end()) {
            json.value(found->second);
        } else {
            json.null();
        }
        json.key("lineOffset");
        json.value(std::int64_t{event.lineOffset});
        json.key("length");
        json.value(std::int64_t{event.length});
        json.endObject();
    }
    json.endArray();

    json.key("info");
    json.beginArray();
    for (const InfoEntry& entry : engine.info()) json.latin1String(entry.text);
    json.endArray();

    json.key("lines");
    json.beginArray();
    for (const LyricLine& line : engine.lines()) {
        json.beginObject();
        json.key("text");
        json.utf16String(line.text);
        json.key("length");
        json.value(std::int64_t{line.length});
        json.key("width");
        json.value(std::int64_t{line.width});
        json.key("pageStart");
        json.value(std::int64_t{line.pageStart});
        json.endObject();
    }
    json.endArray();

    json.key("firstLyricTime");
    json.value(std::int64_t{engine.firstLyricTime()});
    json.key("delayBase");
    json.value(std::int64_t{engine.delayBase()});
    json.key("lyricDelay");
    json.value(std::int64_t{engine.lyricDelay()});
    json.key("lineHeight");
    json.value(std::int64_t{engine.lineHeight()});
    json.endObject();
}

}  // namespace melodeck::tool

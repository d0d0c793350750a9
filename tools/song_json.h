#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "json_writer.h"
#include "lyr_text.h"

namespace melodeck::tool {

// Writes the engine's song as the JSON object that `dump` prints: header values, events
// (the head first), information lines, lyric lines and the clock's numbers. `accepted` says
// whether openSong gave the head event; `messages` are the engine's messages in order.
void writeSongJson(JsonWriter& json, const CLyrText& engine, bool accepted,
                   const std::vector<std::string>& messages);

// The position of every event of the engine's list, the head being 0.
std::unordered_map<const SongEvent*, std::int64_t> eventIndices(const CLyrText& engine);

}  // namespace melodeck::tool

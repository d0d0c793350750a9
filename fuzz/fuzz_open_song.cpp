// libFuzzer target: reads arbitrary bytes as a song, lays it out as the player does, once
// in a normal lyric area and, for small inputs, once in one narrower than a character, and
// runs the lyric clock to the end. Any crash, hang, leak or sanitizer report is a fault of
// the engine.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "builtin_resources.h"
#include "byte_stream.h"
#include "fixed_width_canvas.h"
#include "lyr_text.h"
#include "notifier.h"

namespace {

using namespace melodeck;

constexpr std::uint32_t kSampleRate = 22050;
// Enough clock steps to cover any song; fewer keep each input quick.
constexpr std::int64_t kMaxClockSteps = 1 << 14;
// In an area narrower than a character every character of an over-wide syllable becomes
// an event holding the rest of the syllable, so time and memory grow with the square of the
// syllable's length; the narrow layout is tried on inputs small enough to keep that quick.
constexpr std::size_t kMaxNarrowInput = 4096;

void layOutAndPlay(std::span<const std::uint8_t> bytes, std::int32_t areaWidth) {
    RecordingNotifier notifier;
    BuiltinResources resources;
    CLyrText engine(notifier);
    engine.setResourceSource(&resources);
    MemoryStream stream(bytes);
    engine.openSong(stream);
    if (engine.eventCount() < 2) return;

    engine.loadCharTable(kLanguageRussian);
    engine.setSampleRate(kSampleRate);
    const FixedWidthCanvas canvas(7, 12);
    engine.layoutSong(canvas, Rect{0, 0, areaWidth, 320});
    engine.setLyricDelay(110);
    engine.setLinesShown(4, 0, 0);

    engine.resetCursor();
    engine.startClock(0);
    const std::int64_t last = engine.events().back().sampleTime;
    const std::int64_t end = last + engine.lyricDelay() + std::int64_t{10} * kSampleRate;
    const std::int64_t step = std::max<std::int64_t>(1024, end / kMaxClockSteps);
    for (std::int64_t pos = 0; pos <= end && engine.cursor() != nullptr; pos += step) {
        engine.advanceTo(static_cast<std::int32_t>(pos));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    layOutAndPlay(bytes, 240);
    if (size <= kMaxNarrowInput) layOutAndPlay(bytes, 3);
    return 0;
}

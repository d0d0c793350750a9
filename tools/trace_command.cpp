// melodeck-tool trace: lays a song out as dump does, then runs the lyric clock in steady
// steps and prints every paint of a cursor event as JSON.

#include <cstdio>
#include <limits>
#include <vector>

#include "args.h"
#include "commands.h"
#include "json_writer.h"
#include "lyr_text.h"
#include "song_json.h"
#include "song_session.h"

namespace melodeck::tool {
namespace {

struct Paint {
    std::int64_t position;
    std::int64_t event;
    std::int64_t marker;
};

// The engine with its paint step recording instead of painting.
class TracingLyrText final : public CLyrText {
public:
    TracingLyrText(Notifier& notifier, bool picturesLoad)
        : CLyrText(notifier), m_picturesLoad(picturesLoad) {}

    // Call after the layout: events keep their places from then on.
    void indexEvents() { m_eventIndex = eventIndices(*this); }

    void advanceRecorded(std::int32_t position) {
        m_position = position;
        advanceTo(position);
    }

    const std::vector<Paint>& paints() const { return m_paints; }

protected:
    void paintEvent(bool /*full*/) override {
        const auto cursor = cursorIterator();
        if (cursor == events().end()) return;
        const auto found = m_eventIndex.find(&*cursor);
        m_paints.push_back(Paint{m_position, found != m_eventIndex.end() ? found->second : -1,
                                 std::int64_t{cursor->marker}});
    }

    bool changePictureAtBreak() override { return m_picturesLoad; }

private:
    bool m_picturesLoad;
    std::int32_t m_position = 0;
    std::unordered_map<const SongEvent*, std::int64_t> m_eventIndex;
    std::vector<Paint> m_paints;
};

// Positions are 32-bit sample counts that wrap, as the synthesizer's reports do.
std::int32_t wrapToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

int runTrace(const Args& args) {
    if (!args.check(1, {"stage", "rate", "lang", "ldelay", "width", "metrics", "sync", "step",
                        "pictures"})) {
        return 1;
    }
    auto options = readSessionOptions(args);
    if (!options) return 1;
    constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
    const auto sync = args.integer("sync", 0, std::numeric_limits<std::int32_t>::min(), kInt32Max);
    const auto step = args.integer("step", 1024, 1, kInt32Max);
    const auto pictures = args.integer("pictures", 0, 0, 1);
    if (!sync || !step || !pictures) return 1;
    const auto session = SongSession::load(args);
    if (!session) return 2;

    TracingLyrText engine(session->notifier(), *pictures == 1);
    session->openAndLayout(engine, *options);
    engine.indexEvents();
    engine.resetCursor();

    const std::int64_t p0 = *sync;
    engine.startClock(static_cast<std::int32_t>(p0));
    engine.advanceRecorded(static_cast<std::int32_t>(p0));
    // The clock runs until the cursor has passed the last event, or for at most ten seconds
    // beyond the last event's time shifted by the lyric delay.
    const std::int64_t lastTime = engine.events().empty() ? 0 : engine.events().back().sampleTime;
    const std::int64_t limit =
        lastTime + engine.lyricDelay() + std::int64_t{10} * options->rate;
    for (std::int64_t k = 1; engine.cursor() != nullptr && k * *step <= limit; ++k) {
        engine.advanceRecorded(wrapToInt32(p0 + k * *step));
    }

    JsonWriter json;
    json.beginArray();
    for (const Paint& paint : engine.paints()) {
        json.beginObject();
        json.key("pos");
        json.value(paint.position);
        json.key("event");
        json.value(paint.event);
        json.key("marker");
        json.value(paint.marker);
        json.endObject();
    }
    json.endArray();
    std::fwrite(json.text().data(), 1, json.text().size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

}  // namespace melodeck::tool

#include "song_session.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>

#include "args.h"
#include "byte_stream.h"
#include "file_bytes.h"
#include "fixed_width_canvas.h"
#include "qt_canvas.h"
#include "qt_gui_session.h"

namespace melodeck::tool {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// The height of the lyric area plays no part in the layout (only in how many lines are
// shown); this is the view's height on a 240 x 320 screen.
constexpr std::int32_t kLyricAreaHeight = 320;

// "mono:CW,LH" with CW >= 1 and LH >= 0.
std::optional<std::pair<std::int32_t, std::int32_t>> parseMono(std::string_view text) {
    constexpr std::string_view kPrefix = "mono:";
    if (!text.starts_with(kPrefix)) return std::nullopt;
    text.remove_prefix(kPrefix.size());
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto cw = parseInteger(text.substr(0, comma));
    const auto lh = parseInteger(text.substr(comma + 1));
    if (!cw || !lh || *cw < 1 || *cw > kInt32Max || *lh < 0 || *lh > kInt32Max) {
        return std::nullopt;
    }
    return std::pair{static_cast<std::int32_t>(*cw), static_cast<std::int32_t>(*lh)};
}

}  // namespace

Rect lyricAreaOfWidth(std::int32_t width) {
    return Rect{0, 0, width, kLyricAreaHeight};
}

SessionOptions unlimitedWidthOptions(std::int32_t lang, std::uint32_t rate) {
    SessionOptions options;
    options.lang = lang;
    options.rate = rate;
    // One pixel per character in an area of a thousand million pixels: nothing wraps.
    options.mono = std::pair{1, 1};
    options.width = 1 << 30;
    return options;
}

void printMessages(const RecordingNotifier& notifier, std::string_view command) {
    for (const std::string& message : notifier.messages()) {
        std::fprintf(stderr, "melodeck-tool %.*s: %s\n", static_cast<int>(command.size()),
                     command.data(), message.c_str());
    }
}

std::optional<SessionOptions> readSessionOptions(const Args& args) {
    SessionOptions options;
    if (const auto stage = args.option("stage")) {
        if (*stage != "read" && *stage != "layout") {
            args.complain("--stage is 'read' or 'layout', not '" + std::string(*stage) + "'");
            return std::nullopt;
        }
        options.layout = *stage == "layout";
    }
    // A rate of 0 would make every pause test divide by zero.
    const auto rate = args.integer("rate", 22050, 1, std::numeric_limits<std::uint32_t>::max());
    const auto lang = args.integer("lang", kLanguageEnglish, kInt32Min, kInt32Max);
    const auto ldelay = args.integer("ldelay", 110, kInt32Min, kInt32Max);
    const auto width = args.integer("width", 240, kInt32Min, kInt32Max);
    if (!rate || !lang || !ldelay || !width) return std::nullopt;
    options.rate = static_cast<std::uint32_t>(*rate);
    options.lang = static_cast<std::int32_t>(*lang);
    options.ldelay = static_cast<std::int32_t>(*ldelay);
    options.width = static_cast<std::int32_t>(*width);
    if (const auto metrics = args.option("metrics")) {
        options.mono = parseMono(*metrics);
        if (!options.mono) {
            args.complain("--metrics takes mono:CW,LH with CW >= 1 and LH >= 0, not '" +
                          std::string(*metrics) + "'");
            return std::nullopt;
        }
    }
    return options;
}

std::unique_ptr<SongSession> SongSession::load(const Args& args) {
    std::string error;
    auto bytes = loadFileBytes(args.positional(0), error);
    if (!bytes) {
        args.complain(error);
        return nullptr;
    }
    return std::make_unique<SongSession>(std::move(*bytes));
}

SongSession::SongSession(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

SongSession::~SongSession() = default;

const Canvas& SongSession::canvas(const SessionOptions& options) {
    if (options.mono) {
        m_canvas = std::make_unique<FixedWidthCanvas>(options.mono->first, options.mono->second);
    } else {
        if (!m_gui) m_gui = std::make_unique<QtGuiSession>();
        auto qtCanvas = std::make_unique<QtCanvas>(std::max(1, options.width), kLyricAreaHeight);
        qtCanvas->setFont(defaultLyricFont());
        m_canvas = std::move(qtCanvas);
    }
    return *m_canvas;
}

bool SongSession::openAndLayout(CLyrText& engine, const SessionOptions& options) {
    engine.setResourceSource(&m_resources);
    MemoryStream stream(m_bytes);
    const bool accepted = engine.openSong(stream) != nullptr;
    // The player lays a song out only when it holds something besides the head event.
    if (!options.layout || engine.eventCount() < 2) return accepted;
    engine.loadCharTable(options.lang);
    engine.setSampleRate(options.rate);
    engine.layoutSong(canvas(options), lyricAreaOfWidth(options.width));
    engine.setLyricDelay(options.ldelay);
    return accepted;
}

}  // namespace melodeck::tool

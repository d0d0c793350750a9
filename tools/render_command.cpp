// melodeck-tool render: plays a song's clock without sound, as fast as it goes, through the
// player's lyric display and info block on a Qt image, and writes frames of the screen as
// PNG files.

#include <QImage>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app_paths.h"
#include "args.h"
#include "builtin_resources.h"
#include "byte_stream.h"
#include "commands.h"
#include "doc_settings.h"
#include "file_bytes.h"
#include "info_block.h"
#include "mid_title.h"
#include "qt_canvas.h"
#include "qt_gui_session.h"
#include "screen_areas.h"
#include "settings_store.h"
#include "song_display.h"
#include "song_timeline.h"

namespace melodeck::tool {
namespace {

// Song samples from one position report to the next; the synthesizer reports at least
// this often.
constexpr std::int32_t kReportStep = 512;
// Songs are played for an hour at most, as the synthesizer does.
constexpr std::int64_t kMaxSongSeconds = 3600;
constexpr std::int64_t kMaxSide = 4096;

// The settings of a first start, where the render has no option of its own.
constexpr std::int32_t kFirstStartLAbove = 15;

class StderrNotifier final : public Notifier {
public:
    void showMessage(std::string_view text) override {
        std::fprintf(stderr, "melodeck-tool render: %.*s\n", static_cast<int>(text.size()),
                     text.data());
    }
};

std::optional<Size> parseSize(std::string_view text) {
    const auto x = text.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto width = parseInteger(text.substr(0, x));
    const auto height = parseInteger(text.substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > kMaxSide || *height > kMaxSide)
        return std::nullopt;
    return Size{static_cast<std::int32_t>(*width), static_cast<std::int32_t>(*height)};
}

// "S,S,..." with each S a non-negative number of seconds, within the longest song.
std::optional<std::vector<double>> parseTimes(std::string_view text) {
    std::vector<double> times;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        double seconds = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), seconds);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() ||
            !(seconds >= 0 && seconds <= kMaxSongSeconds))
            return std::nullopt;
        times.push_back(seconds);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    std::sort(times.begin(), times.end());
    return times;
}

// The title the info block shows: the song's own, or its file name when that holds
// nothing but spaces and "@".
std::u16string songTitle(const std::filesystem::path& path, const SongDisplay& display) {
    std::u16string title = readMidTitle(path);
    if (title.find_first_not_of(u" @") == std::u16string::npos) return pathText(path.filename());
    display.convertText(title);
    return title;
}

struct RenderOptions {
    Size size{480, 640};
    std::uint32_t rate = 22050;
    std::int32_t ldelay = 110;
    std::int32_t lines = 4;
    bool info = true;
    std::vector<std::filesystem::path> pictures;
    std::optional<std::vector<double>> times;  // --at; none for --every-page
    std::filesystem::path out;
};

std::optional<RenderOptions> readOptions(const Args& args) {
    RenderOptions options;
    const auto out = args.option("out");
    if (!out || out->empty()) {
        args.complain("--out DIR is required");
        return std::nullopt;
    }
    options.out = std::string(*out);
    if (const auto size = args.option("size")) {
        const auto parsed = parseSize(*size);
        if (!parsed) {
            args.complain("--size takes WxH, each from 1 to 4096, not '" + std::string(*size) +
                          "'");
            return std::nullopt;
        }
        options.size = *parsed;
    }
    const auto rate = args.integer("rate", 22050, 8000, 96000);
    const auto ldelay = args.integer("ldelay", 110, -100000, 100000);
    const auto lines = args.integer("lines", 4, 1, 100);
    const auto info = args.integer("info", 1, 0, 1);
    if (!rate || !ldelay || !lines || !info) return std::nullopt;
    options.rate = static_cast<std::uint32_t>(*rate);
    options.ldelay = static_cast<std::int32_t>(*ldelay);
    options.lines = static_cast<std::int32_t>(*lines);
    options.info = *info == 1;

    const auto everyPage = args.option("every-page");
    if (everyPage && !everyPage->empty()) {
        args.complain("--every-page takes no value");
        return std::nullopt;
    }
    if (const auto at = args.option("at")) {
        if (everyPage) {
            args.complain("--at and --every-page exclude each other");
            return std::nullopt;
        }
        options.times = parseTimes(*at);
        if (!options.times) {
            args.complain("--at takes seconds from 0 to 3600 separated by commas, not '" +
                          std::string(*at) + "'");
            return std::nullopt;
        }
    }
    for (std::string_view picture : args.options("picture")) {
        if (picture.empty()) {
            args.complain("--picture needs a file");
            return std::nullopt;
        }
        options.pictures.emplace_back(std::string(picture));
    }
    return options;
}

// Writes the canvas's image as numbered PNG files and lists each on stdout as
// "NAME SECONDS WHY".
class FrameWriter {
public:
    FrameWriter(const QtCanvas& canvas, std::filesystem::path folder, std::uint32_t rate)
        : m_canvas(canvas), m_folder(std::move(folder)), m_rate(rate) {}

    bool write(std::int64_t position, const char* why) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", m_count++);
        const std::filesystem::path path = m_folder / name;
        if (!m_canvas.image().save(QString::fromStdString(path.string()), "PNG")) {
            std::fprintf(stderr, "melodeck-tool render: cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("%s %.3f %s\n", name, static_cast<double>(position) / m_rate, why);
        return true;
    }

private:
    const QtCanvas& m_canvas;
    std::filesystem::path m_folder;
    std::uint32_t m_rate;
    int m_count = 0;
};

}  // namespace

int runRender(const Args& args) {
    if (!args.check(
            1, {"out", "size", "picture", "rate", "ldelay", "lines", "every-page", "at", "info"},
            {"picture"}))
        return 1;
    const auto options = readOptions(args);
    if (!options) return 1;

    const std::filesystem::path songPath = args.positional(0);
    std::string error;
    const auto bytes = loadFileBytes(args.positional(0), error);
    if (!bytes) {
        args.complain(error);
        return 2;
    }
    std::error_code ignored;
    std::filesystem::create_directories(options->out, ignored);
    if (!std::filesystem::is_directory(options->out, ignored)) {
        args.complain("cannot make the folder " + options->out.string());
        return 2;
    }

    // The picture cycle: the pictures given, in their order, or the four default pictures
    // as a first start has them (which shows the second one first).
    DocSettings pictures;
    if (options->pictures.empty()) {
        if (const auto program = AppPaths::runningProgram())
            pictures.programFolder = AppPaths::forProgram(*program).programFolderText();
        SettingsStore::setDefaultPictures(pictures);
    } else {
        for (const auto& path : options->pictures) pictures.addPicture(path);
    }

    StderrNotifier notifier;
    QtGuiSession gui;
    QtCanvas canvas(options->size.width, options->size.height);
    const Rect client{0, 0, options->size.width, options->size.height};
    const Dpi dpi = canvas.dotsPerInch();

    BuiltinResources resources;
    SongDisplay display(notifier, [&pictures](std::filesystem::path& path) {
        return pictures.chooseNextPicture(path);
    });
    display.setResourceSource(&resources);
    display.loadCharTable(kLanguageEnglish);
    MemoryStream stream(*bytes);
    if (display.openSong(stream) == nullptr) {
        args.complain("not a MIDI file the player can show: " + songPath.string());
        return 2;
    }

    InfoDisplayState state;
    state.areas = ScreenAreas::beforeInitialUpdate(client.width(), dpi)
                      .atInitialUpdate(client, client.width(), dpi);
    state.areas.setInfoBlockShown(options->info);
    state.infoShown = options->info;
    state.infoFont = FontSpec{"Tahoma", 10, true, false};
    state.title = songTitle(songPath, display);

    // What the synthesizer would report: the song's length and where its first syllable
    // is heard.
    std::int64_t endSample = 0;
    std::optional<std::int64_t> syncSample;
    if (const auto timeline = SongTimeline::read(*bytes)) {
        endSample = std::min(timeline->samplesAt(timeline->endTick(), options->rate),
                             kMaxSongSeconds * options->rate);
        if (const auto tick = timeline->firstSyllableTick())
            syncSample = timeline->samplesAt(*tick, options->rate);
    }
    const auto lengthSeconds = static_cast<std::int32_t>(endSample / options->rate);

    // The song becomes current, then plays.
    ShowTime(state, 0, &canvas);
    SongDisplaySettings settings;
    settings.sampleRate = options->rate;
    settings.LinesCount = options->lines;
    settings.LAbove = kFirstStartLAbove;
    settings.LDelay = options->ldelay;
    const FontSpec lyricFont = defaultLyricFont();
    display.prepareDisplay(canvas, lyricFont, state.areas.lyricArea, client, settings);
    ShowTime(state, 0, &canvas);
    PaintStatusArea(canvas, state);
    FrameWriter frames(canvas, options->out, options->rate);
    if (!frames.write(0, "title")) return 2;

    // STARTED, LENGTH, then the first position report starts the display.
    state.synthStatus = 1;
    state.totalSeconds = lengthSeconds;
    state.displayActive = true;
    display.startDisplay();
    PaintStatusArea(canvas, state);
    const bool everyPage = !options->times;
    if (everyPage && display.displayedLine() != nullptr && !frames.write(0, "page")) return 2;

    // Each report moves the lyric cursor; a frame is taken when a new page shows, when a pair
    // of rows is refilled and when a picture wipe ends (every-page), or at the times asked
    // for.
    auto advance = [&](std::int64_t position) {
        const LyricLine* line = display.displayedLine();
        const std::int32_t half = display.half();
        const SongEvent* before = display.cursor();
        display.advanceTo(static_cast<std::int32_t>(position));
        if (!everyPage) return true;
        const LyricLine* now = display.displayedLine();
        if (now != line && now != nullptr) {
            // A new page, or the pair of rows above or below refilled with the next lines.
            const char* why = now->pageStart != 0      ? "page"
                              : display.half() != half ? "pair"
                                                       : nullptr;
            if (why != nullptr && !frames.write(position, why)) return false;
        }
        if (before != nullptr && before->marker == 19 && display.cursor() != before &&
            !frames.write(position, "wipe"))
            return false;
        return true;
    };
    std::size_t nextTime = 0;
    std::int32_t nextSecond = 1;
    bool synced = false;
    for (std::int64_t position = 0;; position = std::min(position + kReportStep, endSample)) {
        if (!advance(position)) return 2;
        if (!synced && syncSample && position >= *syncSample) {
            synced = true;
            display.startClock(static_cast<std::int32_t>(position));
            if (!advance(position)) return 2;
        }
        for (; nextSecond <= lengthSeconds &&
               position >= static_cast<std::int64_t>(nextSecond) * options->rate;
             ++nextSecond)
            ShowTime(state, nextSecond, &canvas);
        for (; options->times && nextTime < options->times->size() &&
               position >= std::llround((*options->times)[nextTime] * options->rate);
             ++nextTime) {
            if (!frames.write(position, "time")) return 2;
        }
        if (position >= endSample) break;
    }
    if (options->times && nextTime < options->times->size())
        args.complain("times after the song's end (" + std::to_string(lengthSeconds) +
                      " s) give no frame");
    return 0;
}

}  // namespace melodeck::tool

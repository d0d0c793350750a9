#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builtin_resources.h"
#include "canvas.h"
#include "lyr_text.h"
#include "notifier.h"

namespace melodeck {
class QtGuiSession;
}

namespace melodeck::tool {

class Args;

// How a song is opened and laid out, from the options the commands share.
struct SessionOptions {
    std::uint32_t rate = 22050;             // output samples per second
    std::int32_t lang = kLanguageEnglish;   // lyric language code
    std::int32_t ldelay = 110;              // LDelay, in ticks
    std::int32_t width = 240;               // lyric area width in pixels
    bool layout = true;                     // false: stop after reading
    // Fixed-width metrics "mono:CW,LH"; without them the real lyric font is used.
    std::optional<std::pair<std::int32_t, std::int32_t>> mono;
};

// Reads the options that dump and trace share (--stage, --rate, --lang, --ldelay, --width,
// --metrics); the names not listed are left alone. Complains and returns nullopt on a bad
// value.
std::optional<SessionOptions> readSessionOptions(const Args& args);

// The file, the engine's helpers and the canvas that one command works with. Owns what the
// engine borrows, so it must outlive the engine.
class SongSession {
public:
    // Loads FILE (the first positional argument). On failure prints the reason on stderr and
    // returns nullptr; the command then exits with status 2.
    static std::unique_ptr<SongSession> load(const Args& args);
    explicit SongSession(std::vector<std::uint8_t> bytes);
    ~SongSession();
    SongSession(const SongSession&) = delete;
    SongSession& operator=(const SongSession&) = delete;

    RecordingNotifier& notifier() { return m_notifier; }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

    // Reads the song into `engine` and, when options.layout is set and the song holds an
    // event besides the head, lays it out as the player does: character table, sample rate,
    // layout in a lyric area of options.width pixels, lyric delay. The canvas is fixed-width
    // with options.mono, otherwise the default lyric font on Qt.
    // Returns true when the song was accepted (openSong gave the head event).
    bool openAndLayout(CLyrText& engine, const SessionOptions& options);

private:
    const Canvas& canvas(const SessionOptions& options);

    std::vector<std::uint8_t> m_bytes;
    RecordingNotifier m_notifier;
    BuiltinResources m_resources;
    std::unique_ptr<QtGuiSession> m_gui;  // before the canvas: it must outlive it
    std::unique_ptr<Canvas> m_canvas;
};

// Options for a layout without a width limit, so that lines break only at the song's
// marks and long pauses: one pixel per character in a very wide area.
SessionOptions unlimitedWidthOptions(std::int32_t lang, std::uint32_t rate);

// Writes the engine's messages to stderr, one line each.
void printMessages(const RecordingNotifier& notifier, std::string_view command);

// The engine's lyric area for a width: only the width plays a part in the layout.
Rect lyricAreaOfWidth(std::int32_t width);

}  // namespace melodeck::tool

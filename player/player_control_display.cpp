#include "player_control.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "dialog_title.h"
#include "lyr_doc.h"
#include "player_screen.h"

namespace melodeck {

namespace {

// A song file read through stdio, closed when the stream goes.
class FileByteStream final : public ByteStream {
public:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using Handle = std::unique_ptr<std::FILE, Closer>;

    // Null when `path` names no regular file or it cannot be opened. A folder or a named
    // pipe would open under stdio but is no song, and a pipe must never be waited on.
    static std::unique_ptr<FileByteStream> open(const std::filesystem::path& path) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
        Handle file(std::fopen(path.c_str(), "rb"));
        if (!file) return nullptr;
        if (std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
        const long size = std::ftell(file.get());
        if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return nullptr;
        return std::make_unique<FileByteStream>(std::move(file), size);
    }
    FileByteStream(Handle file, std::int64_t size) : m_file(std::move(file)), m_size(size) {}

    std::size_t read(void* dst, std::size_t size) override {
        return std::fread(dst, 1, size, m_file.get());
    }
    std::int64_t position() const override { return std::ftell(m_file.get()); }
    // Positions past either end are taken to the end, as the engine expects of a stream.
    void setPosition(std::int64_t pos) override {
        std::fseek(m_file.get(), static_cast<long>(std::clamp<std::int64_t>(pos, 0, m_size)),
                   SEEK_SET);
    }

private:
    Handle m_file;
    std::int64_t m_size;
};

}  // namespace

// ---- The faces ---------------------------------------------------------------------------

void PlayerControl::showList() {
    m_listVisible = true;
    m_screen.setListVisible(true);
    paintView();
    m_screen.imageChanged();
}

void PlayerControl::hideList() {
    m_listVisible = false;
    m_screen.setListVisible(false);
}

// ---- Time and info block -----------------------------------------------------------------

void PlayerControl::showTime(std::int32_t seconds) {
    m_info.synthStatus = static_cast<std::int32_t>(status());
    if (ShowTime(m_info, seconds, &m_canvas)) m_screen.imageChanged();
}

void PlayerControl::paintStatusArea() {
    if (!m_info.infoShown) return;
    m_info.synthStatus = static_cast<std::int32_t>(status());
    PaintStatusArea(m_canvas, m_info);
    m_screen.imageChanged();
}

void PlayerControl::setPlaylistCaption(std::u16string caption) {
    m_playlistCaption = std::move(caption);
    if (!m_listVisible) return;
    paintView();
    m_screen.imageChanged();
}

void PlayerControl::paintView() {
    if (m_listVisible) {
        // The list covers most of the view; around it the view is white under its caption.
        m_canvas.fillRect(clientRect(), kWhite);
        paintDialogTitle(m_canvas, m_clientSize.width, m_playlistCaption, kStrMyPlaylist);
        return;
    }
    if (m_info.displayActive) {
        m_engine.paintEvent(true);
    } else {
        m_canvas.fillRect(clientRect(), kWhite);
        m_engine.paintTitleBlock();
    }
    paintStatusArea();
}

// ---- The song display --------------------------------------------------------------------

void PlayerControl::openSongForDisplay(const std::filesystem::path& path) {
    m_songLaidOut = false;
    m_info.displayActive = false;
    m_lyricClockSynced = false;
    auto file = FileByteStream::open(path);
    if (!file) {
        m_notifier.showMessage("File not found");
        // The previous song's lines and information must not be shown for this one.
        MemoryStream nothing({});
        m_engine.openSong(nothing);
        return;
    }
    m_engine.openSong(*file);
    file.reset();

    SynthConfig config{};
    m_doc.synth().timid_get_configuration(config);
    SongDisplaySettings settings;
    settings.LyricCode = m_doc.LyricCode;
    settings.sampleRate = static_cast<std::uint32_t>(std::max(config.Rate, 1));
    settings.ColorSong = m_doc.ColorSong;
    settings.ColorPlay = m_doc.ColorPlay;
    settings.AllScr = m_doc.AllScr;
    settings.LinesCount = m_doc.LinesCount;
    settings.LAbove = m_doc.LAbove;
    settings.LDelay = m_doc.LDelay;
    // Nothing is prepared for a song without lyric events: it plays with no lines shown.
    m_songLaidOut = m_engine.prepareDisplay(m_canvas, m_fonts[kFontLyrics], m_info.areas.lyricArea,
                                            clientRect(), settings);
}

void PlayerControl::startDisplay() {
    SynthLibrary& synth = m_doc.synth();
    if (m_info.toneSteps != 0) synth.timid_set_pitch(m_info.toneSteps);
    if (m_info.tempoSteps != 0) shiftPlaybackRate(m_info.tempoSteps);
    m_info.displayActive = true;
    m_engine.startDisplay();
    paintStatusArea();
    m_screen.imageChanged();
}

}  // namespace melodeck

#include "player_control.h"

#include <algorithm>
#include <limits>

#include "frame_control.h"
#include "lyr_doc.h"
#include "player_screen.h"
#include "utf8.h"
#include "wave_volume.h"

namespace melodeck {

namespace {

// One press of Tempo moves the playback rate by 1/64 of normal speed (16.16 fixed point).
constexpr std::int64_t kTempoStep = 1024;
// One press of Volume moves each channel by this much of 0..65535.
constexpr std::int32_t kVolumeStep = 1092;
constexpr std::int32_t kChannelMax = 0xFFFF;
// While a song plays longer than this (seconds shown), Previous is ignored.
constexpr std::int32_t kPreviousGraceSeconds = 2;

// Play positions come as unsigned sample counts; the engine counts in int32.
std::int32_t samplePosition(std::uint32_t position) {
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(position, std::numeric_limits<std::int32_t>::max()));
}

// A font as the canvas takes it, from the document's description of it.
FontSpec fontSpecOf(const LogFont& font) {
    FontSpec request;
    request.faceName = toUtf8(fieldText(font.faceName, kFaceNameUnits));
    request.pixelHeight = font.height;
    request.bold = font.weight >= kWeightBold;
    request.italic = font.italic != 0;
    return request;
}

std::int32_t stepChannel(std::int32_t channel, std::int32_t step) {
    return std::clamp(channel + step * kVolumeStep, 0, kChannelMax);
}

}  // namespace

PlayerControl::PlayerControl(CLyrDoc& doc, Notifier& notifier, WaveVolume& volume, Canvas& canvas,
                             PlayerScreen& screen, Dpi dpi)
    : m_doc(doc),
      m_notifier(notifier),
      m_volume(volume),
      m_canvas(canvas),
      m_screen(screen),
      m_dpi(dpi),
      m_engine(notifier, [&doc](std::filesystem::path& out) { return doc.chooseNextPicture(out); }),
      m_playlist(doc.synth()) {
    m_playlist.setObserver(this);
}

PlayerControl::~PlayerControl() { m_playlist.setObserver(nullptr); }

void PlayerControl::setResourceSource(const ResourceSource* resources) {
    m_engine.setResourceSource(resources);
}

SynthStatus PlayerControl::status() const { return m_doc.synth().timid_get_status(); }

PlaylistNaming PlayerControl::naming() const {
    return PlaylistNaming{m_doc.UFN != 0, m_doc.LyricCode, &m_engine};
}

// ---- Life ------------------------------------------------------------------------------

void PlayerControl::initialUpdate(const Rect& client, std::int32_t screenWidth) {
    placeAreas(client, screenWidth);
    // The display paints on the view's screen from the start, so that a song that could not
    // be laid out still gets a clean face.
    m_engine.setDisplayCanvas(&m_canvas);
    CreateFonts();
    if (m_doc.LyricCode != m_engine.languageCode()) m_engine.loadCharTable(m_doc.LyricCode);
    m_playlist.setNaming(naming());
    m_playlist.LoadDefaultPlaylist();

    // The song that was current when the program last closed becomes current again.
    m_playlist.RestoreCurrent(m_doc.ListInd);

    // The desktop is kept awake during every song, so the request is only acknowledged.
    m_doc.firstRun = 0;

    m_info.toneSteps = m_doc.iTon;
    m_info.tempoSteps = m_doc.iTemp;
    // The stored volume count is not applied: the output starts at its own volume.
    m_info.volumeSteps = 0;

    if (m_doc.InfoBlock == 0) {
        m_info.areas.setInfoBlockShown(false);
        m_info.infoShown = false;
    }
    paintView();
    m_screen.imageChanged();
}

void PlayerControl::resize(const Rect& client, std::int32_t screenWidth) {
    placeAreas(client, screenWidth);
    if (!m_listVisible) {
        // The song on show keeps its line breaks; its lines move with the info block.
        m_engine.setLyricArea(m_info.areas.lyricArea);
        m_engine.resetTextRect();
    }
    paintView();
    m_screen.imageChanged();
}

void PlayerControl::placeAreas(const Rect& client, std::int32_t screenWidth) {
    m_clientSize = Size{client.width(), client.height()};
    // The song's information is painted over the whole client area.
    m_engine.setTitleRect(clientRect());
    // The block's left and right come from the screen's width, so they are made afresh.
    ScreenAreas areas = ScreenAreas::beforeInitialUpdate(screenWidth, m_dpi);
    areas.infoBlockShown = m_info.infoShown;
    m_info.areas = areas.atInitialUpdate(client, screenWidth, m_dpi);
}

void PlayerControl::destroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    m_doc.ListInd = m_playlist.currentIndex();
    m_doc.iTemp = m_info.tempoSteps;
    m_doc.iTon = m_info.toneSteps;
    m_doc.iVol = m_info.volumeSteps;
    // A default playlist that cannot be written is not reported; the list is lost then.
    m_playlist.SaveDefaultPlaylist();
}

// ---- Notifications -----------------------------------------------------------------------

void PlayerControl::handleNotification(SynthMsg code, std::uint32_t wParam) {
    switch (code) {
        case SYNTH_MSG_STARTED:
            if (m_frame) {
                m_frame->playbackCommandsOn();
                m_frame->listEditingOff();
            }
            if (m_info.lastShownSeconds == -1) showTime(0);
            break;
        case SYNTH_MSG_CONTROLS_ON:
            if (m_frame) m_frame->playbackCommandsOn();
            break;
        case SYNTH_MSG_FINISHED:
        case SYNTH_MSG_ENDED:
            if (m_frame) m_frame->setStoppedStates(m_playlist.count());
            SongEnded(code == SYNTH_MSG_ENDED);
            break;
        case SYNTH_MSG_LENGTH:
            m_info.totalSeconds = static_cast<std::int32_t>(wParam);
            break;
        case SYNTH_MSG_POSITION:
            showTime(static_cast<std::int32_t>(wParam));
            break;
        case SYNTH_MSG_CONTROLS_OFF:
        case SYNTH_MSG_CONTROLS_OFF_2:
            if (m_frame) m_frame->allCommandsOff();
            break;
        case SYNTH_MSG_TICK:
            if (!m_info.displayActive && !m_listVisible) startDisplay();
            advanceTo(wParam);
            break;
        case SYNTH_MSG_SYNC:
            m_lyricClockSynced = true;
            m_engine.startClock(samplePosition(wParam));
            advanceTo(wParam);
            break;
    }
}

// ---- Playback ----------------------------------------------------------------------------

void PlayerControl::PlayCurrentSong() {
    const int index = m_playlist.currentIndex();
    if (index < 0 || index >= m_playlist.count()) return;
    const std::filesystem::path path = m_playlist.entry(index).path;
    if (m_listVisible) {
        if (m_frame) m_frame->swapToPlayerToolbar();
        hideList();
    }
    openSongForDisplay(path);

    m_screen.setBusy(true);
    m_doc.synth().timid_play(path);
    showTime(0);
    m_stopRequested = false;
    m_screen.setBusy(false);
}

void PlayerControl::StopSong() {
    m_stopRequested = true;
    SynthLibrary& synth = m_doc.synth();
    // A paused song is resumed first, so that the library stops from a running state.
    if (synth.timid_get_status() == SynthStatus::Paused) synth.timid_pause();
    synth.timid_stop();
    if (!m_listVisible) {
        m_info.displayActive = false;
        m_lyricClockSynced = false;
        showList();
        if (m_frame) m_frame->swapToListToolbar();
    }
    m_screen.updateNow();
}

void PlayerControl::SongEnded(bool noAdvance) {
    showTime(0);
    if (m_stopRequested || noAdvance) {
        m_stopRequested = false;
        return;
    }
    m_info.displayActive = false;
    m_lyricClockSynced = false;
    m_playlist.ClearCurrent();
    if (!m_listVisible) {
        showList();
        if (m_frame) m_frame->swapToListToolbar();
    }
    m_screen.updateNow();
    if (m_playlist.empty()) return;

    // The list plays on without end: after the last song comes the first.
    if (m_doc.Repeat == 1)
        m_playlist.MoveCurrentTo(m_playlist.currentIndex());
    else
        m_playlist.MakeNextCurrent();
    PlayCurrentSong();
}

void PlayerControl::NextSong() {
    if (m_playlist.empty()) return;
    m_playlist.MakeNextCurrent();
    selectCurrent();
    if (status() != SynthStatus::Stopped) PlayCurrentSong();
}

void PlayerControl::PreviousSong() {
    const SynthStatus now = status();
    if (now != SynthStatus::Stopped && m_info.lastShownSeconds > kPreviousGraceSeconds) return;
    if (m_playlist.empty()) return;
    m_playlist.MakePreviousCurrent();
    selectCurrent();
    // Early in a song, Previous goes back a song the way Next goes on: the marked song
    // plays at once instead of the one on the screen playing on under its title.
    if (now != SynthStatus::Stopped) PlayCurrentSong();
}

void PlayerControl::PlayCommand() {
    if (m_playlist.empty()) return;
    if (status() != SynthStatus::Playing) PlayCurrentSong();
    if (m_frame) {
        m_frame->playbackCommandsOn();
        m_frame->listEditingOff();
    }
}

void PlayerControl::PauseCommand() {
    if (m_playlist.empty()) return;
    const SynthStatus before = status();
    if (before == SynthStatus::Stopped) {
        PlayCurrentSong();
    } else {
        m_doc.synth().timid_pause();
        if (m_frame) m_frame->showPausePlayImage(before == SynthStatus::Playing);
    }
    if (m_frame) m_frame->playbackCommandsOn();
}

void PlayerControl::StopCommand() {
    StopSong();
    if (m_frame) m_frame->setStoppedStates(m_playlist.count());
}

void PlayerControl::changeTone(std::int32_t step) {
    m_doc.synth().timid_set_pitch(step);
    m_info.toneSteps += step;
    paintStatusArea();
}

void PlayerControl::shiftPlaybackRate(std::int32_t steps) {
    SynthWaveOut* waveOut = m_doc.synth().timid_get_hwaveout();
    if (!waveOut) return;
    const std::int64_t rate = std::int64_t{waveOut->playbackRate()} + steps * kTempoStep;
    // A rate of zero or below would stop or reverse the output; the count still moves, so
    // pressing Tempo up as often brings the speed back.
    if (rate > 0) waveOut->setPlaybackRate(rate);
}

void PlayerControl::changeTempo(std::int32_t step) {
    shiftPlaybackRate(step);
    m_info.tempoSteps += step;
    paintStatusArea();
}

void PlayerControl::changeVolume(std::int32_t step) {
    const std::uint32_t volume = m_volume.volume();
    const auto left = stepChannel(static_cast<std::int32_t>(volume & 0xFFFF), step);
    const auto right = stepChannel(static_cast<std::int32_t>(volume >> 16), step);
    m_volume.setVolume(static_cast<std::uint32_t>(left) |
                       (static_cast<std::uint32_t>(right) << 16));
    // The count moves even at a bound, so it may tell more presses than were heard.
    m_info.volumeSteps += step;
    paintStatusArea();
}

void PlayerControl::ApplyInfoBlock() {
    m_info.infoShown = m_doc.InfoBlock != 0;
    m_info.areas.setInfoBlockShown(m_info.infoShown);
    if (status() != SynthStatus::Playing) return;
    m_engine.setLyricArea(m_info.areas.lyricArea);
    m_engine.resetTextRect();
    if (m_info.displayActive) {
        m_engine.paintEvent(true);
        paintStatusArea();
    }
    m_screen.imageChanged();
}

void PlayerControl::CreateFonts() {
    for (int use = 0; use < kFontCount; ++use) {
        // Only the low 8 bits of the stored size make a font.
        m_doc.setFontSize(use, m_dpi.height, m_doc.fontRecords[use].size & 0xFF);
        m_fonts[static_cast<std::size_t>(use)] = fontSpecOf(m_doc.logFonts[use]);
    }
    m_info.infoFont = m_fonts[kFontInfo];
    m_screen.setListFont(m_fonts[kFontPlaylist]);
}

void PlayerControl::advanceTo(std::uint32_t position) {
    // Reports still queued when the list came back must not paint over it.
    if (!m_lyricClockSynced || !m_songLaidOut || m_listVisible) return;
    m_engine.advanceTo(samplePosition(position));
    m_screen.imageChanged();
}

}  // namespace melodeck

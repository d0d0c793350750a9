#include "song_display.h"

#include <utility>

namespace melodeck {

SongDisplay::SongDisplay(Notifier& notifier, PictureChooser chooseNextPicture)
    : CLyrText(notifier), m_chooseNextPicture(std::move(chooseNextPicture)), m_picture(notifier) {}

bool SongDisplay::prepareDisplay(Canvas& canvas, const FontSpec& lyricFont, const Rect& lyricArea,
                                 const Rect& titleRect, const SongDisplaySettings& settings) {
    // A song of nothing but its head event is played without a display of its own.
    if (eventCount() < 2) return false;
    if (languageCode() != settings.LyricCode) loadCharTable(settings.LyricCode);
    setSampleRate(settings.sampleRate);

    setSongColour(settings.ColorSong);
    setPlayedColour(settings.ColorPlay);
    {
        const CanvasStateSaver saved(canvas);
        canvas.setFont(lyricFont);
        layoutSong(canvas, lyricArea);
    }
    setLyricDelay(settings.LDelay);
    setLinesShown(settings.LinesCount, settings.AllScr, settings.LAbove);

    setLyricFont(lyricFont);
    setTitleRect(titleRect);
    beginDisplay(&canvas);

    // Without a picture the song colour turns black, so that the lyrics show on white.
    setHasPicture(loadNextPicture().value_or(false));
    return true;
}

void SongDisplay::startDisplay() {
    restoreBackground();
    showNextLine(false);
}

bool SongDisplay::changePictureAtBreak() {
    const std::optional<bool> loaded = loadNextPicture();
    if (!loaded) return false;
    setNewPictureReady(*loaded);
    // The picture of the song is gone with the failed load: the wipe whitens the lyric area
    // at its end, and the rest of the song is shown as one without a picture, black on
    // white, instead of in a song colour that may be white itself.
    if (!*loaded) setHasPicture(false);
    return true;
}

std::optional<bool> SongDisplay::loadNextPicture() {
    std::filesystem::path path;
    if (!m_chooseNextPicture || !m_chooseNextPicture(path)) return std::nullopt;
    // The painter must not see the old pixels while they go.
    clearBackground();
    if (!m_picture.loadPicture(path)) return false;
    setBackground(m_picture.picture()->view());
    return true;
}

}  // namespace melodeck

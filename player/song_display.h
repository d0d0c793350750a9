#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "canvas.h"
#include "geometry.h"
#include "lyr_text.h"
#include "my_bitmap.h"
#include "notifier.h"

namespace melodeck {

// The settings that the display of a song follows, as the document holds them (the
// synthesizer's output rate aside).
struct SongDisplaySettings {
    std::int32_t LyricCode = kLanguageEnglish;  // lyric language, 3001..3018
    std::uint32_t sampleRate = 22050;           // the synthesizer's output samples per second
    Colour ColorSong = rgb(255, 255, 255);      // text not yet sung (black without a picture)
    Colour ColorPlay = rgb(255, 0, 255);        // text sung
    std::int32_t AllScr = 0;                    // as many lines as fit (1) or LinesCount (0)
    std::int32_t LinesCount = 4;                // lyric lines shown
    std::int32_t LAbove = 12;                   // pixels above the first lyric line
    std::int32_t LDelay = 100;                  // delay between song and lyrics, in ticks
};

// The lyric display of the player: the song engine together with the background picture it
// paints over, and the picture cycle it takes the pictures from. Used by the player's view
// and by melodeck-tool render; it knows neither Qt nor the synthesizer, so the caller drives
// the clock (startClock, advanceTo) from the synthesizer's reports.
//
// Opening a song, in this order:
//   1. openSong(stream)                                  (CLyrText)
//   2. prepareDisplay(canvas, ...)                       lays out, chooses the picture and
//                                                        paints the title block
//   3. on the first progress report: startDisplay()      background and first page
//   4. on the synchronisation report: startClock(p), then advanceTo(p) on every report.
// Later repaints of the whole view: paintEvent(true) once the display has started,
// paintTitleBlock() before (both CLyrText).
//
// Single-threaded: every call comes from the UI thread. The notifier and the chooser's
// target must outlive the display; the canvas given to prepareDisplay must outlive its use
// (see CLyrText::beginDisplay and setDisplayCanvas).
class SongDisplay final : public CLyrText {
public:
    // Gives the path of the next picture of the cycle in its argument and true, or false when
    // there are no pictures. The view passes CLyrDoc::chooseNextPicture.
    using PictureChooser = std::function<bool(std::filesystem::path&)>;

    // `notifier` receives the engine's messages and "Can't open file '<path>'" for a picture
    // that cannot be loaded. An empty chooser counts as an empty picture list.
    SongDisplay(Notifier& notifier, PictureChooser chooseNextPicture);

    // The display part of opening a song, after openSong has read it. When the song holds
    // only its head event this does nothing and returns false: no layout, no picture, and
    // the display is not begun. Otherwise it returns true after it has
    //   - loaded the character table for settings.LyricCode if another one is loaded, and
    //     taken settings.sampleRate;
    //   - laid the song out in `lyricFont` over `lyricArea` (the canvas's font is put back),
    //     set the lyric delay from LDelay and the lines shown from LinesCount, AllScr and
    //     LAbove;
    //   - taken the colours ColorSong and ColorPlay and the font for painting;
    //   - begun the display on `canvas` with `titleRect` (the view's whole client area):
    //     the title rectangle filled white and the title block painted;
    //   - chosen the next picture and loaded it: hasPicture() tells whether one is held;
    //     without one the lyric area is shown white and text not yet sung is black.
    bool prepareDisplay(Canvas& canvas, const FontSpec& lyricFont, const Rect& lyricArea,
                        const Rect& titleRect, const SongDisplaySettings& settings);

    // The first progress report of the song: the whole lyric area from the background, then
    // the first page of lines.
    void startDisplay();

    // The picture held for the song: loaded at song open or at the last long pause.
    const CMyBitmap& picture() const { return m_picture; }

protected:
    // At a long pause: chooses and loads the next picture, to be wiped in (newPictureReady()
    // tells whether it loaded). False, with nothing loaded, when there are no pictures.
    bool changePictureAtBreak() override;

private:
    // Chooses the next picture and loads it into m_picture, handing it to the painter.
    // None when the list is empty; otherwise whether it loaded.
    std::optional<bool> loadNextPicture();

    PictureChooser m_chooseNextPicture;
    CMyBitmap m_picture;
};

}  // namespace melodeck

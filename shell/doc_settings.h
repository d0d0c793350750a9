#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "font_record.h"
#include "language_codes.h"

namespace melodeck {

// Colours are 0x00BBGGRR.
inline constexpr std::uint32_t kColorWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kColorMagenta = 0x00FF00FF;
// Folder texts hold at most this many units (a 260-unit buffer with its terminator).
inline constexpr std::size_t kMaxFolderUnits = 259;

// Every setting of the document, named by the value it is stored as, in declaration order
// with the values a new document starts from. The commands and dialogs read and change the
// members directly; the settings store loads them at start and saves them at exit.
//
// Single-threaded: used on the UI thread only.
class DocSettings {
public:
    DocSettings();

    // Repeat mode on (1) or off (0).
    std::int32_t Repeat = 0;
    // The view's information block shown (1) or hidden (0).
    std::int32_t InfoBlock = 1;
    // The last folder songs or pictures were added from.
    std::u16string lastFolder;
    // Lyric language, 3001..3018.
    std::int32_t LyricCode = kLanguageEnglish;
    // The view's tone, volume and tempo steps when it was last destroyed.
    std::int32_t iTon = 0;
    std::int32_t iVol = 0;
    std::int32_t iTemp = 0;
    // Background picture paths, in display order.
    std::vector<std::u16string> pictures;
    // The folder of the program's read-only data, ending with "/", so that "KaraokeFiles"
    // or "Images/Water.jpg" can be appended directly. Never stored.
    std::u16string programFolder;
    // Index into pictures of the picture chosen last.
    std::int32_t currentPicture = -1;
    // The view's current index when it was last destroyed; -1 for none.
    std::int32_t ListInd = 0;
    // The fonts as handed to the platform, and as stored.
    std::array<LogFont, kFontCount> logFonts{};
    std::array<FontRecord, kFontCount> fontRecords{};
    // Lyric text not yet sung, and already sung.
    std::uint32_t ColorSong = kColorWhite;
    std::uint32_t ColorPlay = kColorMagenta;
    // As many lyric lines as fit (1) instead of LinesCount (0).
    std::int32_t AllScr = 0;
    // The playlist shows file names (1) or song titles (0).
    std::int32_t UFN = 0;
    // Lyric lines shown.
    std::int32_t LinesCount = 4;
    // Pixels above the first lyric line.
    std::int32_t LAbove = 12;
    // Relative delay between song and lyrics.
    std::int32_t LDelay = 100;
    // Set by a load that finds no stored configuration; the view clears it.
    std::int32_t firstRun = 0;
    // ProgLang as loaded; 0 when none was chosen.
    std::int32_t storedLanguage = 0;
    // The interface language in effect; saved as ProgLang.
    std::int32_t interfaceLanguage = kLanguageEnglish;

    // Font operations; `i` is a font use 0..2, any other index is ignored.

    // Copies at most 31 characters of `name` into both records of font `i`.
    void setFontFace(int i, std::u16string_view name);
    // The face name of logFonts[i]; empty for a bad index.
    std::u16string getFontFace(int i) const;
    // logFonts[i].height := size * verticalDpi / 72 (truncated); fontRecords[i].size := size.
    void setFontSize(int i, int verticalDpi, std::int32_t size);
    void setFontBold(int i, bool on);
    void setFontItalic(int i, bool on);

    // Picture operations. The pictures come one after another in a fixed cycle through
    // `pictures`; `currentPicture` is the one chosen last.

    // Moves currentPicture on to the next entry, back to the first after the last (and to
    // the first from any index outside the list), and gives that entry's path in `out`.
    // False, with nothing changed, when the list is empty.
    bool chooseNextPicture(std::filesystem::path& out);
    // Appends `path` to the list.
    void addPicture(const std::filesystem::path& path);
    // Removes the entry at `index`; currentPicture is left as it is (the next choice copes
    // with an index past the end). Throws std::out_of_range for an index outside the list.
    void removePicture(int index);
};

// The text of a NUL-terminated UTF-16 field of `units` code units; a field without a NUL
// gives its first units - 1 units.
std::u16string fieldText(const char16_t* field, std::size_t units);
// Copies `text` into a field of `units` code units, cut to units - 1 and NUL-terminated;
// the units after the terminator are left as they are.
void setFieldText(char16_t* field, std::size_t units, std::u16string_view text);

}  // namespace melodeck

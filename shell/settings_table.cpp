#include "settings_table.h"

namespace melodeck {
namespace {

constexpr std::int32_t kLastLyricCode = 4000;

std::int32_t checkLyricCode(std::int32_t code) {
    return (code < kLanguageEnglish || code > kLastLyricCode) ? kLanguageEnglish : code;
}

using S = SynthConfig;
constexpr SynthDword kSynthDwords[] = {
    {u"Rate", &S::Rate, std::nullopt},
    {u"Buffers", &S::Buffers, std::nullopt},
    {u"Voices", &S::Voices, std::nullopt},
    {u"Stereo", &S::Stereo, std::nullopt},
    {u"Pan", &S::Pan, std::nullopt},
    {u"Antialiasing", &S::Antialiasing, 1},
    {u"FreeInstrum", &S::FreeInstrum, std::nullopt},
    {u"16Bits", &S::Bits16, std::nullopt},
    {u"ThreadPriority", &S::ThreadPriority, std::nullopt},
    {u"ReverbEnabled", &S::ReverbEnabled, std::nullopt},
    {u"ReverbDelay", &S::ReverbDelay, std::nullopt},
    {u"ReverbRate", &S::ReverbRate, std::nullopt},
    {u"SurroundEnabled", &S::SurroundEnabled, std::nullopt},
    {u"SurroundRate", &S::SurroundRate, std::nullopt},
};

// The values taken when a setting is absent differ from the constructor's in places
// (LyricCode 3002, LAbove 15, LDelay 110): an empty store is a first start.
using D = DocSettings;
constexpr DocDword kLeadingDocDwords[] = {
    {u"Repeat", &D::Repeat, &D::Repeat, 0, nullptr},
    {u"InfoBlock", &D::InfoBlock, &D::InfoBlock, 1, nullptr},
};

// ProgLang loads into the language that was chosen and saves the one in effect, so a
// change made during the run is what the next start finds.
constexpr DocDword kTrailingDocDwords[] = {
    {u"LyricCode", &D::LyricCode, &D::LyricCode, kLanguageRussian, checkLyricCode},
    {u"ProgLang", &D::storedLanguage, &D::interfaceLanguage, 0, nullptr},
    {u"ColorSong", &D::ColorSong, &D::ColorSong, kColorWhite, nullptr},
    {u"ColorPlay", &D::ColorPlay, &D::ColorPlay, kColorMagenta, nullptr},
    {u"ListInd", &D::ListInd, &D::ListInd, 0, nullptr},
    {u"LinesCount", &D::LinesCount, &D::LinesCount, 4, nullptr},
    {u"AllScr", &D::AllScr, &D::AllScr, 0, nullptr},
    {u"UFN", &D::UFN, &D::UFN, 0, nullptr},
    {u"LAbove", &D::LAbove, &D::LAbove, 15, nullptr},
    {u"LDelay", &D::LDelay, &D::LDelay, 110, nullptr},
    {u"iTon", &D::iTon, &D::iTon, 0, nullptr},
    {u"iTemp", &D::iTemp, &D::iTemp, 0, nullptr},
    {u"iVol", &D::iVol, &D::iVol, 0, nullptr},
};

}  // namespace

std::span<const SynthDword> synthDwords() { return kSynthDwords; }
std::span<const DocDword> leadingDocDwords() { return kLeadingDocDwords; }
std::span<const DocDword> trailingDocDwords() { return kTrailingDocDwords; }

}  // namespace melodeck

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

#include "doc_settings.h"
#include "synth_library.h"

namespace melodeck {

// Where the settings live, under HKEY_CURRENT_USER.
inline constexpr std::u16string_view kSettingsKeyPath =
    u"Software\\Quillmoor Software\\Melodeck\\Midi";
// The program's version text, stored as "ver"; another text on load resets the picture list.
inline constexpr std::u16string_view kVersionText = u"3.3";
inline constexpr std::u16string_view kDefaultConfigFile = u"timidity.cfg";

// A DWORD carried between the store and a field of the synthesizer's configuration record.
struct SynthDword {
    std::u16string_view name;
    std::int32_t SynthConfig::*field;
    std::optional<std::int32_t> whenAbsent;  // none: the library's own value stays
};

// A DWORD carried between the store and a member of the document.
using DocField = std::variant<std::int32_t DocSettings::*, std::uint32_t DocSettings::*>;
struct DocDword {
    std::u16string_view name;
    DocField loadInto;
    DocField saveFrom;
    std::uint32_t whenAbsent;
    std::int32_t (*check)(std::int32_t);  // null when the value is taken as it is
};

// The record's DWORDs, in the order they are loaded and saved.
std::span<const SynthDword> synthDwords();
// The document's DWORDs up to InfoBlock, then those from LyricCode to iVol. The save puts
// LastFolder between the two groups; the load reads it after both.
std::span<const DocDword> leadingDocDwords();
std::span<const DocDword> trailingDocDwords();

}  // namespace melodeck

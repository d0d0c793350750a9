#include "frame_layout.h"

#include <array>

#include "command_ids.h"

namespace melodeck {
namespace {

constexpr std::array kFileItems{
    MenuItemSpec{cmd::kAddFile, "Add file"},
    MenuItemSpec{cmd::kAddFolder, "Add folder"},
};
constexpr std::array kPlayerItems{
    MenuItemSpec{cmd::kPlay, "Play"},
    MenuItemSpec{cmd::kPause, "Pause"},
    MenuItemSpec{cmd::kStop, "Stop"},
    MenuItemSpec{cmd::kRepeat, "Repeat"},
    MenuItemSpec{cmd::kInfoBlock, "Info block"},
};
constexpr std::array kListItems{
    MenuItemSpec{cmd::kOpenPlaylist, "Open playlist"},
    MenuItemSpec{cmd::kSavePlaylist, "Save playlist"},
    MenuItemSpec{cmd::kUp, "Up"},
    MenuItemSpec{cmd::kDown, "Down"},
    MenuItemSpec{cmd::kDelete, "Delete"},
    MenuItemSpec{cmd::kDeleteAll, "Delete all"},
};
constexpr std::array kOptionsItems{
    MenuItemSpec{cmd::kPlaybackOptions, "Playback"},
    MenuItemSpec{cmd::kFontsOptions, "Fonts"},
    MenuItemSpec{cmd::kLyricOptions, "Lyric"},
    MenuItemSpec{cmd::kPicturesOptions, "Pictures"},
    MenuItemSpec{cmd::kGeneralOptions, "General"},
    MenuItemSpec{cmd::kInterfaceLanguage, "Language of interface"},
    MenuItemSpec{cmd::kAssociations, "Associations"},
};
constexpr std::array kHelpItems{
    MenuItemSpec{cmd::kAbout, "About"},
};

constexpr std::array kMenuBar{
    SubmenuSpec{"File", kFileItems},       SubmenuSpec{"Player", kPlayerItems},
    SubmenuSpec{"List", kListItems},       SubmenuSpec{"Options", kOptionsItems},
    SubmenuSpec{"Help", kHelpItems},
};

constexpr std::array kListToolbar{
    ToolButtonSpec{cmd::kPreviousSong, "Previous song", 0},
    ToolButtonSpec{cmd::kToolbarPlay, "Play", 1},
    ToolButtonSpec{cmd::kListStop, "Stop", 2},
    ToolButtonSpec{cmd::kNextSong, "Next song", 3},
    ToolButtonSpec{kSeparator, "", -1},
    ToolButtonSpec{cmd::kAddSong, "Add song", 4},
    ToolButtonSpec{cmd::kAddFolder, "Add folder", 5},
    ToolButtonSpec{kSeparator, "", -1},
    ToolButtonSpec{cmd::kToolbarDown, "Down", 6},
    ToolButtonSpec{cmd::kToolbarUp, "Up", 7},
    ToolButtonSpec{cmd::kToolbarDelete, "Delete item", 8},
};

constexpr std::array kPlayerToolbar{
    ToolButtonSpec{cmd::kToolbarInfoBlock, "Info block", kImageInfoBlockOff},
    ToolButtonSpec{cmd::kToolbarPause, "Pause / Play", kImagePause},
    ToolButtonSpec{cmd::kToolbarStop, "Stop", 2},
    ToolButtonSpec{cmd::kToolbarRepeat, "Repeat", 3},
    ToolButtonSpec{kSeparator, "", -1},
    ToolButtonSpec{cmd::kToneDown, "Tone Down", 4},
    ToolButtonSpec{cmd::kToneUp, "Tone Up", 5},
    ToolButtonSpec{cmd::kTempoDown, "Tempo Down", 6},
    ToolButtonSpec{cmd::kTempoUp, "Tempo Up", 7},
    ToolButtonSpec{cmd::kVolumeDown, "Volume Down", 8},
    ToolButtonSpec{cmd::kVolumeUp, "Volume Up", 9},
};

constexpr std::array<std::string_view, 9> kListImages{
    "previous", "play", "stop", "next", "add_song", "add_folder", "down", "up", "delete",
};
constexpr std::array<std::string_view, 12> kPlayerImages{
    "info_off",  "pause",   "stop",       "repeat",      "tone_down", "tone_up",
    "tempo_down", "tempo_up", "volume_down", "volume_up", "play",      "info_on",
};

}  // namespace

std::span<const SubmenuSpec> menuBarSpec() { return kMenuBar; }
MenuItemSpec exitItemSpec() { return {cmd::kExit, "Exit"}; }
std::span<const ToolButtonSpec> listToolbarSpec() { return kListToolbar; }
std::span<const ToolButtonSpec> playerToolbarSpec() { return kPlayerToolbar; }
std::span<const std::string_view> listToolbarImages() { return kListImages; }
std::span<const std::string_view> playerToolbarImages() { return kPlayerImages; }

}  // namespace melodeck

#pragma once

#include <span>
#include <string_view>

namespace melodeck {

// What the main frame's menus and toolbars hold, as data: the window builds itself from
// these tables, and the interface-language step can find every caption and tooltip by id.
// Texts are UTF-8.

struct MenuItemSpec {
    int id;
    std::string_view caption;
};

struct SubmenuSpec {
    std::string_view title;
    std::span<const MenuItemSpec> items;
};

// A toolbar button, or a separator when id is 0. `image` indexes the toolbar's image list.
struct ToolButtonSpec {
    int id;
    std::string_view tooltip;
    int image;
};

inline constexpr int kSeparator = 0;

// The submenus of the menu bar, left to right; the Exit item follows them.
std::span<const SubmenuSpec> menuBarSpec();
MenuItemSpec exitItemSpec();

// The list toolbar (shown with the playlist) and the player toolbar (shown with a song),
// left to right.
std::span<const ToolButtonSpec> listToolbarSpec();
std::span<const ToolButtonSpec> playerToolbarSpec();

// Image names of the two toolbars' image lists, by index: files toolbar/<name>.png (16x15)
// and toolbar/<name>@2x.png (32x30) in the program's Qt resources. The player list ends with
// the two images added after its own ten: the play image (10) and Info block on (11).
std::span<const std::string_view> listToolbarImages();
std::span<const std::string_view> playerToolbarImages();

// Player toolbar images the frame switches to.
inline constexpr int kImageInfoBlockOff = 0;
inline constexpr int kImagePause = 1;
inline constexpr int kImagePlay = 10;
inline constexpr int kImageInfoBlockOn = 11;

}  // namespace melodeck

#pragma once

#include <string>
#include <string_view>

namespace melodeck {

// Makes the program's images reachable as Qt resources: toolbar/<name>.png (16x15) with
// toolbar/<name>@2x.png (32x30) for high-resolution screens, the playlist item icons
// toolbar/item_normal.png and toolbar/item_current.png (16x16, 32x32), and the application
// icon icons/<size>x<size>/melodeck.png. Call it once before the first image is used; more
// calls do no harm.
void registerImageResources();

// The playlist's item icons: an ordinary song and the current one.
inline constexpr std::string_view kItemImageNormal = "item_normal";
inline constexpr std::string_view kItemImageCurrent = "item_current";

// ":/toolbar/<name>.png": the path a QIcon takes to find both sizes of a toolbar image.
std::string toolbarImagePath(std::string_view name);

}  // namespace melodeck

#pragma once

#include <QIcon>

namespace melodeck {

// The two 16 x 16 images of the playlist's items, drawn by the program itself: image 0 a
// grey note for an ordinary song, image 1 a green play mark for the current song.
QIcon ordinarySongIcon();
QIcon currentSongIcon();

}  // namespace melodeck

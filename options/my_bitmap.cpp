#include "my_bitmap.h"

#include <string>

#include "jpeg_loader.h"

namespace melodeck {

bool CMyBitmap::loadPicture(const std::filesystem::path& path) {
    // The old picture goes first, so two pictures are never held at once.
    m_picture.reset();
    m_picture = loadJpeg(path);
    if (!m_picture) {
        // A file that opens but does not decode is, for the user, one that cannot be opened.
        m_notifier.showMessage("Can't open file '" + path.string() + "'");
        return false;
    }
    return true;
}

}  // namespace melodeck

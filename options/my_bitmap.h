#pragma once

#include <filesystem>
#include <optional>

#include "notifier.h"
#include "st_screen_buffer.h"

namespace melodeck {

// The background picture of the current song: at most one bitmap, replaced by each load.
//
// Single-threaded. The notifier must outlive the object.
class CMyBitmap {
public:
    explicit CMyBitmap(Notifier& notifier) : m_notifier(notifier) {}
    CMyBitmap(const CMyBitmap&) = delete;
    CMyBitmap& operator=(const CMyBitmap&) = delete;

    // Drops the picture held so far, then loads the JPEG file at `path`. Returns true when a
    // picture is now held. When the file cannot be opened, or opens but does not decode
    // (not a JPEG, damaged, too large), shows "Can't open file '<path>'" and returns false
    // with no picture held.
    bool loadPicture(const std::filesystem::path& path);

    // The picture held, or nullptr. Valid until the next loadPicture or clear.
    const CSTScreenBuffer* picture() const { return m_picture ? &*m_picture : nullptr; }
    void clear() { m_picture.reset(); }

private:
    Notifier& m_notifier;
    std::optional<CSTScreenBuffer> m_picture;
};

}  // namespace melodeck

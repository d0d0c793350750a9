#pragma once

#include <optional>
#include <string>

class QWidget;

namespace melodeck {

// A folder chosen for Add folder, and whether its subfolders are scanned too.
struct FolderChoice {
    std::u16string folder;
    bool includeSubfolders = false;
};

// The modal dialogs the main frame opens for its commands. Paths are full paths without a
// trailing "/"; nullopt means the user cancelled. The application shows real dialogs;
// tests answer from a script.
class FrameDialogs {
public:
    virtual ~FrameDialogs() = default;

    // "Open playlist": an existing .m3u file, starting in `startFolder`.
    virtual std::optional<std::u16string> openPlaylist(QWidget* parent,
                                                       const std::u16string& startFolder) = 0;
    // "Save playlist": a file to write; the dialog itself asks before overwriting.
    virtual std::optional<std::u16string> savePlaylist(QWidget* parent,
                                                       const std::u16string& startFolder) = 0;
    // Add file: one song file (*.kar, *.mid, *.midi).
    virtual std::optional<std::u16string> songFile(QWidget* parent,
                                                   const std::u16string& startFolder) = 0;
    // Add folder: one folder.
    virtual std::optional<FolderChoice> songFolder(QWidget* parent,
                                                   const std::u16string& startFolder) = 0;
    // The About box: modal, centred over `parent`.
    virtual void about(QWidget* parent) = 0;
};

}  // namespace melodeck

#pragma once

#include "frame_dialogs.h"

namespace melodeck {

// The frame's dialogs on Qt's standard file dialogs and message box.
class QtFrameDialogs final : public FrameDialogs {
public:
    std::optional<std::u16string> openPlaylist(QWidget* parent,
                                               const std::u16string& startFolder) override;
    std::optional<std::u16string> savePlaylist(QWidget* parent,
                                               const std::u16string& startFolder) override;
    std::optional<std::u16string> songFile(QWidget* parent,
                                           const std::u16string& startFolder) override;
    std::optional<FolderChoice> songFolder(QWidget* parent,
                                           const std::u16string& startFolder) override;
    void about(QWidget* parent) override;
};

// The program's name and version as the About box shows them.
inline constexpr const char* kProgramName = "Melodeck";

}  // namespace melodeck

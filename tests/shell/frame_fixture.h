#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <deque>
#include <optional>
#include <string>

#include "frame_dialogs.h"

namespace melodeck::test {

// Widget tests run under widget_test_main.cpp, which makes the program's one QApplication.
inline void ensureWidgetApp() { ASSERT_NE(QApplication::instance(), nullptr); }

// Dialog answers from a script: each call takes the next queued answer (cancel when none)
// and records what it was asked.
class ScriptedDialogs final : public FrameDialogs {
public:
    std::deque<std::optional<std::u16string>> files;  // for the three file dialogs
    std::deque<std::optional<FolderChoice>> folders;
    std::vector<std::string> asked;            // "open", "save", "song", "folder", "about"
    std::vector<std::u16string> startFolders;  // the folder each file dialog started in

    std::optional<std::u16string> openPlaylist(QWidget*, const std::u16string& start) override {
        return nextFile("open", start);
    }
    std::optional<std::u16string> savePlaylist(QWidget*, const std::u16string& start) override {
        return nextFile("save", start);
    }
    std::optional<std::u16string> songFile(QWidget*, const std::u16string& start) override {
        return nextFile("song", start);
    }
    std::optional<FolderChoice> songFolder(QWidget*, const std::u16string& start) override {
        asked.push_back("folder");
        startFolders.push_back(start);
        if (folders.empty()) return std::nullopt;
        auto answer = folders.front();
        folders.pop_front();
        return answer;
    }
    void about(QWidget*) override { asked.push_back("about"); }

private:
    std::optional<std::u16string> nextFile(const char* what, const std::u16string& start) {
        asked.push_back(what);
        startFolders.push_back(start);
        if (files.empty()) return std::nullopt;
        auto answer = files.front();
        files.pop_front();
        return answer;
    }
};

}  // namespace melodeck::test

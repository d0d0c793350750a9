#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app_paths.h"
#include "builtin_resources.h"
#include "frame_dialogs.h"
#include "notifier.h"
#include "registry.h"
#include "synth_library.h"
#include "wave_volume.h"

namespace melodeck {

class CLyrDoc;
class CLyrView;
class CMainFrame;

// What the application is started with. Everything has a default for the real program
// except the synthesizer, which must be given.
struct AppStartOptions {
    // Makes the synthesizer library that the document owns; `notifier` outlives it.
    std::function<std::unique_ptr<SynthLibrary>(Notifier& notifier)> makeSynth;
    // The output volume of the library that makeSynth made, stepped by the Volume commands;
    // null or giving null: a volume that is only held, not heard.
    std::function<WaveVolume*(SynthLibrary& synth)> outputVolume;
    // The settings store; null is a store that cannot be opened.
    std::unique_ptr<Registry> registry;
    AppPaths paths;
    // Where messages for the user go; null: message boxes over the main window.
    std::unique_ptr<Notifier> notifier;
    // The frame's dialogs; null: Qt's standard dialogs.
    std::unique_ptr<FrameDialogs> dialogs;
    // Show the main window at the end of start-up.
    bool show = true;
};

// The application: the document, the main frame and the view, made in that order and
// alive for the whole run. Destroying it shuts down in the opposite order: the view stores
// its state in the document and writes the default playlist while the document still
// exists, then the document saves the settings and shuts the synthesizer down.
//
// Needs a QApplication. Single-threaded: UI thread only.
class CLyrApp {
public:
    // Starts the program with `file` (a song or an .m3u playlist) or none. Null when the
    // file cannot be opened for reading; `error` then says so, and no window was made.
    static std::unique_ptr<CLyrApp> start(const std::optional<std::filesystem::path>& file,
                                          AppStartOptions options, std::string& error);
    ~CLyrApp();
    CLyrApp(const CLyrApp&) = delete;
    CLyrApp& operator=(const CLyrApp&) = delete;

    CLyrDoc& document() { return *m_doc; }
    CMainFrame& frame() { return *m_frame; }
    CLyrView& view() { return *m_view; }
    Notifier& notifier() { return *m_notifier; }

private:
    // Lets only start() construct the application, while std::make_unique still can.
    struct Passkey {
        explicit Passkey() = default;
    };

public:
    explicit CLyrApp(Passkey);

private:
    // The interface language chosen at start; a hook for the translated resources.
    void applyStartLanguage();
    void openCommandLineFile(const std::filesystem::path& file);

    // Declared in the order that makes destruction correct: the frame (with the view) goes
    // first, then the document, then what the document uses.
    BuiltinResources m_resources;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<FrameDialogs> m_dialogs;
    std::unique_ptr<Registry> m_registry;
    std::unique_ptr<CLyrDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CLyrView* m_view = nullptr;  // owned by the frame
};

// Whether `file` can be opened for reading, as the start-up check asks.
bool canOpenForReading(const std::filesystem::path& file);
// The message for a file named on the command line that cannot be opened.
std::string cannotOpenMessage(const std::filesystem::path& file);

}  // namespace melodeck

#include "c_lyr_app.h"

#include <QFile>
#include <QString>
#include <cstdio>
#include <system_error>

#include "c_main_frame.h"
#include "command_line.h"
#include "doc_settings.h"
#include "lyr_doc.h"
#include "lyr_view.h"
#include "qt_frame_dialogs.h"
#include "qt_notifier.h"

namespace melodeck {

bool canOpenForReading(const std::filesystem::path& file) {
    std::error_code error;
    // A folder opens with fopen on Linux, but it is no file to play.
    if (std::filesystem::is_directory(file, error)) return false;
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (!stream) return false;
    std::fclose(stream);
    return true;
}

std::string cannotOpenMessage(const std::filesystem::path& file) {
    return "Cannot open file \"" + file.string() + "\".";
}

std::unique_ptr<CLyrApp> CLyrApp::start(const std::optional<std::filesystem::path>& file,
                                        AppStartOptions options, std::string& error) {
    auto app = std::make_unique<CLyrApp>(Passkey{});
    QtNotifier* boxes = nullptr;
    if (options.notifier) {
        app->m_notifier = std::move(options.notifier);
    } else {
        auto notifier = std::make_unique<QtNotifier>();
        boxes = notifier.get();
        app->m_notifier = std::move(notifier);
    }
    app->m_dialogs = options.dialogs ? std::move(options.dialogs)
                                     : std::make_unique<QtFrameDialogs>();
    app->m_registry = std::move(options.registry);

    // The document first: the synthesizer is initialised and configured, and the settings
    // loaded, before any window exists.
    app->m_doc = std::make_unique<CLyrDoc>(options.makeSynth(*app->m_notifier),
                                           app->m_registry.get(), options.paths);

    // A file that cannot be opened ends the start here, before the view exists: a view made
    // now would write its empty list over the default playlist when it goes.
    std::optional<std::filesystem::path> named;
    if (file) {
        std::error_code ignored;
        named = std::filesystem::absolute(*file, ignored);
        if (named->empty()) named = *file;
        if (!canOpenForReading(*named)) {
            error = cannotOpenMessage(*file);
            return nullptr;
        }
    }

    app->m_frame = std::make_unique<CMainFrame>(*app->m_doc, *app->m_dialogs);
    if (boxes) boxes->setParentWidget(app->m_frame.get());
    WaveVolume* volume = options.outputVolume ? options.outputVolume(app->m_doc->synth()) : nullptr;
    auto* view = new CLyrView(*app->m_doc, *app->m_notifier, volume, app->m_frame.get());
    app->m_view = view;
    view->setResourceSource(&app->m_resources);
    view->OnInitialUpdate();

    app->applyStartLanguage();

    app->m_frame->attachView(view);
    app->m_frame->updateListCommands();
    if (options.show) {
        app->m_frame->show();
        app->m_frame->repaint();
    }
    if (named) app->openCommandLineFile(*named);
    return app;
}

CLyrApp::CLyrApp(Passkey) {}

CLyrApp::~CLyrApp() {
    if (m_view) {
        // The view stores its state and the default playlist while the document exists, and
        // the synthesizer stops talking to it before it goes.
        m_view->OnDestroy();
        m_doc->synth().timid_set_parent_wnd(nullptr);
    }
    m_frame.reset();
    m_doc.reset();
}

void CLyrApp::applyStartLanguage() {
    // The program runs in English, the language of its own resources; a translated
    // resource module would be loaded here.
}

void CLyrApp::openCommandLineFile(const std::filesystem::path& file) {
    CLyrView& view = *m_view;
    view.DeleteAll();
    const std::u16string text = QFile::decodeName(file.c_str()).toStdU16String();
    if (isPlaylistPath(text)) {
        view.OpenPlaylist(file);
    } else {
        view.AddFile(file);
        if (view.itemCount() > 0) view.PlayCurrentSong();
    }
    m_doc->lastFolder = folderOfPath(text, kMaxFolderUnits);
}

}  // namespace melodeck

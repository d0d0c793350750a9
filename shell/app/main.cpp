// melodeck: the karaoke player's window. Takes at most one file: a song to play or an .m3u
// playlist to load.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "c_lyr_app.h"
#include "command_line.h"
#include "fluid_synth_library.h"
#include "qt_notifier.h"
#include "quit_on_signal.h"
#include "sqlite_registry.h"

namespace {

constexpr const char* kUsage =
    "Usage: melodeck [FILE]\n"
    "Karaoke player: plays MIDI karaoke files (.kar, .mid, .midi) and paints their lyrics.\n"
    "\n"
    "  FILE        a song to play at once, or an .m3u playlist to load\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Settings are kept under $XDG_CONFIG_HOME/Melodeck (MELODECK_CONFIG_DIR moves them).\n";

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

std::unique_ptr<melodeck::Registry> openSettingsStore() {
    const std::optional<std::filesystem::path> file = melodeck::SqliteRegistry::defaultFile();
    if (!file) return nullptr;
    // A store that cannot be opened leaves the defaults in force, as an unreadable one does.
    return melodeck::SqliteRegistry::open(*file, {});
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    melodeck::CommandLine line = melodeck::parseCommandLine(args);
    if (line.action == melodeck::CommandLine::Action::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (line.action == melodeck::CommandLine::Action::Version) {
        std::printf("melodeck %s\n", MELODECK_VERSION);
        return 0;
    }
    if (!hasDisplay()) {
        std::fputs("melodeck: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set).\nRun it in a desktop session, or set QT_QPA_PLATFORM=offscreen "
                   "to run without one.\n",
                   stderr);
        return 1;
    }

    melodeck::QuitOnSignal::blockQuitSignals();
    QApplication qapp(argc, argv);
    const melodeck::QuitOnSignal quitOnSignal;
    QApplication::setApplicationName(QStringLiteral("Melodeck"));
    QApplication::setApplicationVersion(QStringLiteral(MELODECK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("melodeck"));

    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    QStringList rest = QApplication::arguments();
    rest.removeFirst();
    args.clear();
    for (const QString& arg : rest) args.push_back(arg.toLocal8Bit().toStdString());
    line = melodeck::parseCommandLine(args);
    if (line.action == melodeck::CommandLine::Action::Error) {
        std::fprintf(stderr, "melodeck: %s\nTry 'melodeck --help'.\n", line.error.c_str());
        return 2;
    }

    melodeck::AppStartOptions options;
    options.makeSynth = [](melodeck::Notifier& notifier) {
        return std::make_unique<melodeck::FluidSynthLibrary>(notifier,
                                                             melodeck::FluidSynthOptions{});
    };
    options.outputVolume = [](melodeck::SynthLibrary& synth) -> melodeck::WaveVolume* {
        return &static_cast<melodeck::FluidSynthLibrary&>(synth).waveVolume();
    };
    options.registry = openSettingsStore();
    const auto program = melodeck::AppPaths::runningProgram();
    options.paths = melodeck::AppPaths::forProgram(program ? *program : std::filesystem::path(argv[0]));

    std::optional<std::filesystem::path> file;
    if (line.file) file = std::filesystem::path(*line.file);
    std::string error;
    auto app = melodeck::CLyrApp::start(file, std::move(options), error);
    if (!app) {
        std::fprintf(stderr, "melodeck: %s\n", error.c_str());
        if (melodeck::QtNotifier::hasVisibleScreen()) {
            QMessageBox::critical(nullptr, QStringLiteral("Melodeck"), QString::fromStdString(error));
        }
        return 1;
    }
    const int status = QApplication::exec();
    app.reset();
    return status;
}

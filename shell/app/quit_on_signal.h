#pragma once

#include <QObject>

class QSocketNotifier;

namespace melodeck {

// Turns SIGINT, SIGTERM and SIGHUP into an orderly quit of the Qt event loop, so that a
// player stopped from a terminal or by the end of the desktop session still stores its
// playlist and settings on the way out. The signals are blocked and read from a signalfd on
// the UI thread: no handler runs in signal context.
//
// Call blockQuitSignals() first thing in main, before any thread exists (threads inherit
// the mask, so none of them takes the signal instead), then create one QuitOnSignal after
// the QApplication.
class QuitOnSignal final : public QObject {
public:
    static void blockQuitSignals();

    QuitOnSignal();
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

    // False when the signalfd could not be made; the signals then keep their default.
    bool isActive() const { return m_notifier != nullptr; }

private:
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;  // child of this object
};

}  // namespace melodeck

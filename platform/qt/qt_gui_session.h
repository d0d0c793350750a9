#pragma once

#include <memory>

namespace melodeck {

// Makes sure a QGuiApplication exists, as fonts and painting need one. When none exists
// yet, creates one that lives as long as this object; if QT_QPA_PLATFORM is not set, the
// offscreen platform is chosen first, so tools, tests and benchmarks run without a display.
// When an application already exists, does nothing.
//
// Create it on the main thread, before any QtCanvas, and keep it alive while they are used.
class QtGuiSession {
public:
    QtGuiSession();
    ~QtGuiSession();
    QtGuiSession(const QtGuiSession&) = delete;
    QtGuiSession& operator=(const QtGuiSession&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace melodeck

#include "qt_gui_session.h"

#include <QGuiApplication>
#include <cstdlib>

namespace melodeck {

struct QtGuiSession::Impl {
    // QGuiApplication keeps references to argc and argv for its whole life, so they are
    // members declared before it.
    int argc = 1;
    char programName[9] = "melodeck";
    char* argv[2] = {programName, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

QtGuiSession::QtGuiSession() : m_impl(std::make_unique<Impl>()) {
    if (QGuiApplication::instance() != nullptr) return;
    // Only when the user has not chosen a platform: an explicit choice is respected.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    m_impl->app = std::make_unique<QGuiApplication>(m_impl->argc, m_impl->argv);
}

QtGuiSession::~QtGuiSession() = default;

}  // namespace melodeck

#include "qt_notifier.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace melodeck {

bool QtNotifier::hasVisibleScreen() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void QtNotifier::showMessage(std::string_view text) {
    const QString message = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (!hasVisibleScreen()) {
        std::fprintf(stderr, "melodeck: %s\n", message.toLocal8Bit().constData());
        return;
    }
    QMessageBox::warning(m_parent, QStringLiteral("Melodeck"), message);
}

}  // namespace melodeck

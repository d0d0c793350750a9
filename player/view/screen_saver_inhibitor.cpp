#include "screen_saver_inhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QString>

#include <memory>

namespace melodeck {
namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
constexpr int kCallTimeoutMs = 1000;

// The service on the session bus, or nothing when there is no bus or nobody offers it.
std::unique_ptr<QDBusInterface> screenSaver() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return nullptr;
    const QDBusReply<bool> registered = bus.interface()->isServiceRegistered(kService);
    if (!registered.isValid() || !registered.value()) return nullptr;
    auto iface = std::make_unique<QDBusInterface>(kService, kPath, kService, bus);
    if (!iface->isValid()) return nullptr;
    iface->setTimeout(kCallTimeoutMs);
    return iface;
}

}  // namespace

ScreenSaverInhibitor::~ScreenSaverInhibitor() { setInhibited(false); }

void ScreenSaverInhibitor::setInhibited(bool inhibited) {
    if (inhibited == m_cookie.has_value()) return;
    auto iface = screenSaver();
    if (inhibited) {
        if (!iface) return;
        const QDBusReply<std::uint32_t> reply =
            iface->call(QStringLiteral("Inhibit"), QStringLiteral("Melodeck"),
                        QStringLiteral("Playing a song"));
        if (reply.isValid()) m_cookie = reply.value();
        return;
    }
    // The service may have gone meanwhile; the request went with it then.
    if (iface) iface->call(QStringLiteral("UnInhibit"), *m_cookie);
    m_cookie.reset();
}

}  // namespace melodeck

#include "ui/icon/VTStatusNotifierProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <algorithm>

bool VTStatusNotifierProbe::overBus(const QSystemTrayIcon* item) {
    if (answer_) {
        return *answer_;
    }
    if (!item || !item->isVisible()) {
        return false;
    }
    if (!shownFor_.isValid()) {
        shownFor_.start();
    }
    const bool registered = registeredWithWatcher();
    if (registered || shownFor_.elapsed() >= kRegistrationGraceMs) {
        answer_ = registered;
    }
    return registered;
}

bool VTStatusNotifierProbe::registeredWithWatcher() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        return false;
    }
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("RegisteredStatusNotifierItems");
    // Asking must not start a watcher where the desktop has none.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    // Each item is "SERVICE" or "SERVICE/PATH"; Qt registers its item under the unique name of
    // a connection of this process.
    const QStringList items =
        qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toStringList();
    const auto pid = static_cast<uint>(QCoreApplication::applicationPid());
    return std::any_of(items.begin(), items.end(), [&bus, pid](const QString& item) {
        const QString service = item.section(QLatin1Char('/'), 0, 0);
        return !service.isEmpty() && bus.interface()->servicePid(service).value() == pid;
    });
}

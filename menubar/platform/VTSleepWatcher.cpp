#include "platform/VTSleepWatcher.h"

#include <QDBusConnection>

VTSleepWatcher::VTSleepWatcher(QObject* parent) : VTLoggingObject(parent) {}

bool VTSleepWatcher::start() {
    QDBusConnection bus = QDBusConnection::systemBus();
    const bool watching =
        bus.isConnected() &&
        bus.connect(QStringLiteral("org.freedesktop.login1"),
                    QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"),
                    QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    if (!watching) {
        log()->info(
            QStringLiteral("No system bus to watch for sleep and wake; the connection "
                           "is kept across sleep."));
    }
    return watching;
}

void VTSleepWatcher::prepareForSleep(bool goingToSleep) {
    if (goingToSleep) {
        emit willSleep();
    } else {
        emit didWake();
    }
}

#pragma once

// A notification service on a connection of its own to the session bus: it owns
// org.freedesktop.Notifications, records every notice it is sent, and answers with the
// capabilities it is given. The client reaches it through the bus daemon like any other.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Notice {
        QString appName;
        QString icon;
        QString summary;
        QString body;
        QVariantMap hints;
        int timeout;
    };

    explicit FakeNotificationService(QStringList capabilities)
        : capabilities_(std::move(capabilities)),
          bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-notifications"))) {}
    ~FakeNotificationService() override {
        bus_.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
    }

    // False when the bus is not there or the name is taken.
    bool start() {
        return bus_.isConnected() &&
               bus_.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                   QDBusConnection::ExportAllSlots) &&
               bus_.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    const QList<Notice>& notices() const { return notices_; }
    QStringList summaries() const {
        QStringList out;
        for (const Notice& notice : notices_) {
            out << notice.summary;
        }
        return out;
    }

  public slots:
    QStringList GetCapabilities() const { return capabilities_; }
    uint Notify(const QString& appName, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int timeout) {
        notices_.append({appName, icon, summary, body, hints, timeout});
        return static_cast<uint>(notices_.size());
    }

  private:
    QStringList capabilities_;
    QDBusConnection bus_;
    QList<Notice> notices_;
};

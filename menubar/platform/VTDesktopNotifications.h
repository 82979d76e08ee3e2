#pragma once

#include <QDBusConnection>
#include <QList>
#include <optional>

#include "app/VTLoggingObject.h"
#include "app/VTNoticeSink.h"

class QDBusPendingCallWatcher;

// Shows notices through the desktop's notification service (org.freedesktop.Notifications on
// the session bus). Calls never wait on the service: each is sent and its answer taken when it
// comes. The service is asked once whether it reads markup in the body; where it does, the
// texts, which carry names the backup service chose, are escaped. Without a bus or a service,
// notices are dropped and one line says so for the whole run.
class VTDesktopNotifications : public VTLoggingObject, public VTNoticeSink {
    Q_OBJECT
  public:
    explicit VTDesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    QObject* parent = nullptr);

    void showNotice(const VTNotice& notice) override;

  signals:
    // The service took the notice, or it was dropped (tests wait for either).
    void noticeShown(uint id);
    void noticeDropped();

  private:
    void VT_askCapabilities();
    void VT_capabilitiesAnswered(QDBusPendingCallWatcher* call);
    void VT_send(const VTNotice& notice);
    // Drops that many notices; the first time also says why.
    void VT_unavailable(const QString& why, qsizetype dropped);

    QDBusConnection bus_;
    // Whether the service renders markup in the body; unknown until it answers.
    std::optional<bool> bodyMarkup_;
    bool asking_ = false;
    QList<VTNotice> waiting_;
    bool toldUnavailable_ = false;
};

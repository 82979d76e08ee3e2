#include "platform/VTDesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "app/VTUtils.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

VTDesktopNotifications::VTDesktopNotifications(QDBusConnection bus, QObject* parent)
    : VTLoggingObject(parent), bus_(std::move(bus)) {}

void VTDesktopNotifications::showNotice(const VTNotice& notice) {
    if (!bus_.isConnected()) {
        VT_unavailable(QStringLiteral("there is no session bus"), 1);
        return;
    }
    if (bodyMarkup_) {
        VT_send(notice);
        return;
    }
    waiting_.append(notice);
    VT_askCapabilities();
}

void VTDesktopNotifications::VT_askCapabilities() {
    if (asking_) {
        return;
    }
    asking_ = true;
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(call(QStringLiteral("GetCapabilities"))), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     &VTDesktopNotifications::VT_capabilitiesAnswered);
}

void VTDesktopNotifications::VT_capabilitiesAnswered(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    asking_ = false;
    const QDBusPendingReply<QStringList> reply = *call;
    const QList<VTNotice> waiting = std::exchange(waiting_, {});
    if (reply.isError()) {
        // Asked again with the next notice: a service may be started later in the session.
        VT_unavailable(reply.error().message(), waiting.size());
        return;
    }
    bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
    for (const VTNotice& notice : waiting) {
        VT_send(notice);
    }
}

void VTDesktopNotifications::VT_send(const VTNotice& notice) {
    const QString appName =
        VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString();
    const QString body = *bodyMarkup_ ? notice.body.toHtmlEscaped() : notice.body;
    QDBusMessage notify = call(QStringLiteral("Notify"));
    // Normal urgency: the notice goes away like any other.
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
    notify << appName << uint(0) << notice.iconName << notice.summary << body << QStringList()
           << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* answered) {
                         answered->deleteLater();
                         const QDBusPendingReply<uint> reply = *answered;
                         if (reply.isError()) {
                             bodyMarkup_.reset();
                             VT_unavailable(reply.error().message(), 1);
                             return;
                         }
                         emit noticeShown(reply.value());
                     });
}

void VTDesktopNotifications::VT_unavailable(const QString& why, qsizetype dropped) {
    for (qsizetype i = 0; i < dropped; ++i) {
        emit noticeDropped();
    }
    if (std::exchange(toldUnavailable_, true)) {
        return;
    }
    log()->info(
        QStringLiteral("No desktop notification service (%1); notices are not shown.").arg(why));
}

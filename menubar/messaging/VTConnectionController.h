#pragma once

#include <QPointer>
#include <QTimer>
#include <optional>

#include "app/VTLoggingObject.h"
#include "messaging/VTConnection.h"
#include "messaging/VTConnectionControllerDelegate.h"

class VTSleepWatcher;

// Keeps the client connected: owns the current connection, replaces it as soon as it is
// lost, retries the socket and checks registration every 3 seconds until registration
// completes, counts the checks that find it unregistered, switches to the legacy protocol
// on request, and drops and rebuilds the connection around system sleep. The count runs
// across replacements and starts again only when a connection registers or the machine
// wakes: it tells how long the client has been without the service. A connection that is
// open but has not registered after three checks is replaced too, so that the endpoint file
// is read again and pre-registration repeated with what it now holds.
class VTConnectionController : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(VTConnection* connection READ connection NOTIFY connectionChanged)
  public:
    static constexpr int kRetryIntervalMs = 3000;
    static constexpr int kChecksBeforeReplacing = 3;

    explicit VTConnectionController(QObject* parent = nullptr);

    void setDelegate(VTConnectionControllerDelegate* delegate) { delegate_ = delegate; }
    void setConnectionDelegate(VTConnectionDelegate* delegate) { connectionDelegate_ = delegate; }
    // Tests shorten the retry interval and give connections their own command line.
    void setRetryInterval(int milliseconds) { retryIntervalMs_ = milliseconds; }
    void setConnectionArguments(const QStringList& arguments) { arguments_ = arguments; }
    void setSleepWatcher(VTSleepWatcher* watcher) { sleepWatcher_ = watcher; }

    void awakeFromNib();
    void startConnectionTimers();
    void stopConnectionTimers();
    void switchToLegacyMessaging();

    VTConnection* connection() const { return connection_; }
    qint64 connectionCheckFailures() const { return connectionCheckFailures_; }
    bool isUsingLegacyMessaging() const { return useLegacyMessaging_; }
    bool timersAreRunning() const { return connectTimer_ || connectionCheckTimer_; }

  signals:
    void connectionChanged(VTConnection* connection);

  private:
    void VT_addObservers();
    void VT_checkConnection();
    void VT_createNewConnection();
    void VT_tearDownConnection();
    void VT_watchForSleepResumeChanges();
    void VT_willSleepNotification();
    void VT_didWakeNotification();
    void connectionIsConnectedChanged(bool connected);

    VTConnectionDelegate* connectionDelegate_ = nullptr;
    VTConnectionControllerDelegate* delegate_ = nullptr;
    QPointer<VTConnection> connection_;
    QMetaObject::Connection isConnectedObservation_;
    QPointer<QTimer> connectTimer_;
    qint64 connectionCheckFailures_ = 0;
    // Checks that found the current connection unregistered; sockets opened since the last
    // registration.
    int checksOfCurrentConnection_ = 0;
    qint64 attempts_ = 0;
    QPointer<QTimer> connectionCheckTimer_;
    bool useLegacyMessaging_ = false;
    int retryIntervalMs_ = kRetryIntervalMs;
    std::optional<QStringList> arguments_;
    VTSleepWatcher* sleepWatcher_ = nullptr;
};

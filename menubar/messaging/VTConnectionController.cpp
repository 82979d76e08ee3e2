#include "messaging/VTConnectionController.h"

#include "app/VTRepeatedLines.h"
#include "messaging/VTConnectionLegacy.h"
#include "messaging/VTConnectionNew.h"
#include "platform/VTSleepWatcher.h"

VTConnectionController::VTConnectionController(QObject* parent) : VTLoggingObject(parent) {}

void VTConnectionController::awakeFromNib() {
    connectionCheckFailures_ = 0;
    useLegacyMessaging_ = false;
    VT_watchForSleepResumeChanges();
    VT_createNewConnection();
}

void VTConnectionController::VT_createNewConnection() {
    if (delegate_) {
        delegate_->willCreateNewConnection();
    }
    VT_tearDownConnection();
    checksOfCurrentConnection_ = 0;
    VTConnection* created =
        useLegacyMessaging_ ? static_cast<VTConnection*>(new VTConnectionLegacy(this, arguments_))
                            : new VTConnectionNew(this, arguments_);
    if (connection_) {
        connection_->deleteLater();  // it may still be on the stack of its own signal
    }
    connection_ = created;
    emit connectionChanged(connection_);
    if (delegate_) {
        delegate_->newConnectionCreated(connection_);
    }
    // Observed only after the delegate: a loss reaches the delegate first, before this
    // controller replaces the connection and the delegate stops listening to it.
    VT_addObservers();
    connection_->setDelegate(connectionDelegate_);
}

void VTConnectionController::VT_addObservers() {
    isConnectedObservation_ =
        QObject::connect(connection_, &VTConnection::isConnectedChanged, this,
                         &VTConnectionController::connectionIsConnectedChanged);
}

void VTConnectionController::VT_tearDownConnection() {
    if (!connection_) {
        return;
    }
    if (!QObject::disconnect(isConnectedObservation_)) {
        log()->fine([this] {
            return QStringLiteral("Unable to remove `observer` %1 for `observed` %2, caught:\n%3")
                .arg(metaObject()->className(), connection_->metaObject()->className(),
                     QStringLiteral("no such observation"));
        });
    }
    log()->fine(QStringLiteral("Successfully removed observers..."));
    connection_->disconnect();
}

void VTConnectionController::connectionIsConnectedChanged(bool connected) {
    if (connected) {
        stopConnectionTimers();
        connectionCheckFailures_ = 0;
        if (attempts_ > 1) {
            log()->infoWithFormat("Connected after %lld attempts.",
                                  static_cast<long long>(attempts_));
        }
        attempts_ = 0;
        VTRepeatedLines::shared().outageEnded();
        return;
    }
    VT_createNewConnection();
    startConnectionTimers();
}

void VTConnectionController::startConnectionTimers() {
    stopConnectionTimers();
    // The connect timer stays bound to the connection that is current now. Once that one
    // has been replaced (after a wake, until the timers are rebound) it is not reopened: a
    // reopened, no longer observed connection would live on beside the current one.
    QPointer<VTConnection> bound = connection_;
    connectTimer_ = new QTimer(this);
    connectTimer_->setInterval(retryIntervalMs_);
    QObject::connect(connectTimer_, &QTimer::timeout, this, [this, bound] {
        if (bound && bound == connection_ && bound->connect()) {
            ++attempts_;
        }
    });
    connectionCheckTimer_ = new QTimer(this);
    connectionCheckTimer_->setInterval(retryIntervalMs_);
    QObject::connect(connectionCheckTimer_, &QTimer::timeout, this,
                     &VTConnectionController::VT_checkConnection);
    connectTimer_->start();
    connectionCheckTimer_->start();
    log()->config(QStringLiteral("started conn. timers"));
}

void VTConnectionController::stopConnectionTimers() {
    for (QPointer<QTimer>* timer : {&connectTimer_, &connectionCheckTimer_}) {
        if (*timer) {
            (*timer)->stop();
            (*timer)->deleteLater();
            *timer = nullptr;
        }
    }
}

void VTConnectionController::VT_checkConnection() {
    if (connection_ && connection_->isConnected()) {
        return;
    }
    ++connectionCheckFailures_;
    ++checksOfCurrentConnection_;
    if (delegate_) {
        delegate_->onUnableToConnect(connectionCheckFailures_);
    }
    if (checksOfCurrentConnection_ >= kChecksBeforeReplacing) {
        log()->repeating(VTLogger::Info,
                         QStringLiteral("The connection has not registered after %1 checks; "
                                        "replacing it.")
                             .arg(kChecksBeforeReplacing));
        VT_createNewConnection();
        startConnectionTimers();
    }
}

void VTConnectionController::switchToLegacyMessaging() {
    useLegacyMessaging_ = true;
    stopConnectionTimers();
    if (connection_) {
        connection_->disconnect();  // observed: already replaced by a legacy connection
    }
    // The service answered: what follows is a new start, not more of the same failure.
    connectionCheckFailures_ = 0;
    VT_createNewConnection();
    startConnectionTimers();
}

void VTConnectionController::VT_watchForSleepResumeChanges() {
    if (!sleepWatcher_) {
        sleepWatcher_ = new VTSleepWatcher(this);
        sleepWatcher_->start();
    }
    QObject::connect(sleepWatcher_, &VTSleepWatcher::willSleep, this,
                     &VTConnectionController::VT_willSleepNotification);
    QObject::connect(sleepWatcher_, &VTSleepWatcher::didWake, this,
                     &VTConnectionController::VT_didWakeNotification);
}

void VTConnectionController::VT_willSleepNotification() {
    log()->fine(QStringLiteral("Received NSWorkspaceWillSleepNotification"));
    VT_tearDownConnection();
}

void VTConnectionController::VT_didWakeNotification() {
    log()->fine(QStringLiteral("Received NSWorkspaceDidWakeNotification"));
    connectionCheckFailures_ = 0;
    VT_createNewConnection();
    QTimer::singleShot(retryIntervalMs_, this, &VTConnectionController::startConnectionTimers);
}

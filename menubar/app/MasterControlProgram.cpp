#include "app/MasterControlProgram.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>

#include "app/VTLaunchOnLoginSetting.h"
#include "app/VTStatusIcon.h"
#include "app/VTStatusMenu.h"
#include "app/VTUtils.h"
#include "logging/DDLog.h"
#include "messaging/VTConnectionController.h"
#include "messaging/VTMessageHandler.h"
#include "messaging/VTStatsRequestor.h"
#include "messaging/VTVTSController.h"
#include "model/VTVaultorState.h"
#include "platform/VTUserDefaults.h"

namespace {

// Sets the nice value of this process, found by its own process id.
void zed_renice(int niceness) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(getpid()), niceness);
}

}  // namespace

void MasterControlProgram::initialize() {
    static const bool done = [] {
        zed_renice(5);
        VTUtils::registerDefaults({{QStringLiteral("LaunchOnLogin"), QStringLiteral("YES")}});
        return true;
    }();
    (void)done;
}

QString MasterControlProgram::msgMenuConnectingToService() {
    return QCoreApplication::translate("MasterControlProgram", "Connecting to backup service...");
}

QString MasterControlProgram::msgUnableToConnect() {
    return QCoreApplication::translate("MasterControlProgram",
                                       "Unable to connect to backup service.");
}

QString MasterControlProgram::msgNoDestinationsConfigured() {
    return QCoreApplication::translate("MasterControlProgram", "No destinations configured.");
}

MasterControlProgram::MasterControlProgram(const Collaborators& collaborators, QObject* parent)
    : VTLoggingObject(parent),
      connectionController_(collaborators.connectionController),
      iconController_(collaborators.iconController),
      menuController_(collaborators.menuController),
      messageHandler_(collaborators.messageHandler),
      prefsController_(collaborators.prefsController),
      vtsController_(collaborators.vtsController),
      state_(collaborators.state),
      statsRequestor_(collaborators.statsRequestor) {
    initialize();
}

void MasterControlProgram::awakeFromNib() {
    // Connection following: the three collaborators always hold the current connection.
    QObject::connect(this, &MasterControlProgram::connectionChanged, this,
                     [this](VTConnection* connection) {
                         if (statsRequestor_) {
                             statsRequestor_->setConnection(connection);
                         }
                         if (messageHandler_) {
                             messageHandler_->setConnection(connection);
                         }
                         if (vtsController_) {
                             vtsController_->setConnection(connection);
                         }
                     });
    emit connectionChanged(connection_);
    if (vtsController_) {
        vtsController_->setState(state_);
    }
    if (prefsController_) {
        prefsController_->setLaunchOnLogin(
            VTUtils::userDefaultsBool(QStringLiteral("LaunchOnLogin")));
    }
}

void MasterControlProgram::startApp() {
    if (connectionController_) {
        connectionController_->startConnectionTimers();
    }
    if (state_) {
        state_->setLastUpdated(QDateTime::currentSecsSinceEpoch());
    }
    if (iconController_) {
        iconController_->forceUpdateIcon();
    }
}

void MasterControlProgram::setConnection(VTConnection* connection) {
    connection_ = connection;
    emit connectionChanged(connection);
}

void MasterControlProgram::setMenuHandler(VTMenuHandler* handler) {
    QObject::disconnect(menuHandlerObservation_);
    menuHandler_ = handler;
    if (handler) {
        menuHandlerObservation_ = QObject::connect(handler, &VTMenuHandler::isMenuOpenChanged, this,
                                                   [this] { VT_menuOpenStateToggled(); });
    }
    emit menuHandlerChanged();
}

void MasterControlProgram::connectionIsConnectedChanged(bool connected) {
    const bool wasRegistered = connectionRegistered_;
    connectionRegistered_ = connected;
    if (connected) {
        onConnected();
        return;
    }
    // Every loss of a registered connection is told; the failed attempts in between repeat.
    const QString notConnected = QStringLiteral("** WE ARE __NOT__ CONNECTED **");
    if (wasRegistered) {
        log()->info(notConnected);
    } else {
        log()->repeating(VTLogger::Info, notConnected);
    }
    VT_onConnectionClosed();
}

void MasterControlProgram::onConnected() {
    log()->info(QStringLiteral("** WE ARE CONNECTED **"));
    hideProblem();
    if (statsRequestor_) {
        statsRequestor_->restartStatsRequestTimer(true);
    }
    // A menu already open (opened while connecting, or open across a reconnection) shows full
    // statistics; the light-weight polling alone would leave it stale until it is reopened.
    if (menuHandler_ && menuHandler_->isMenuOpen()) {
        VT_menuOpenStateToggled();
    }
}

void MasterControlProgram::VT_onConnectionClosed() {
    if (statsRequestor_) {
        statsRequestor_->stopRequestsTimer();
    }
    if (menuController_) {
        VTUtils::delayWithObject(
            this, [this] { menuController_->refreshComputerViews(); }, 1.0);
    }
}

void MasterControlProgram::willCreateNewConnection() {
    QObject::disconnect(connectionObservation_);
    VT_onConnectionClosed();
    // A replacement within an outage that has already been declared keeps the line as it is.
    if (!connectionController_ ||
        connectionController_->connectionCheckFailures() < kChecksBeforeUnableToConnect) {
        showProblem(msgMenuConnectingToService());
    }
}

void MasterControlProgram::newConnectionCreated(VTConnection* connection) {
    setConnection(connection);
    VT_rebindConnection();
}

void MasterControlProgram::VT_rebindConnection() {
    log()->fine(QStringLiteral("MPC: rebinding VTConnection"));
    QObject::disconnect(connectionObservation_);
    QObject::disconnect(stateBinding_);
    connectionRegistered_ = connection_ && connection_->isConnected();
    if (connection_) {
        connectionObservation_ =
            QObject::connect(connection_, &VTConnection::isConnectedChanged, this,
                             &MasterControlProgram::connectionIsConnectedChanged);
        if (state_) {
            // The state's flag mirrors the current connection's, and only that one.
            VTVaultorState* state = state_;
            stateBinding_ =
                QObject::connect(connection_, &VTConnection::isConnectedChanged, state,
                                 [state](bool connected) { state->setIsConnected(connected); });
            state->setIsConnected(connection_->isConnected());
        }
    }
    if (messageHandler_) {
        messageHandler_->setMenuHandler(menuHandler_);
        messageHandler_->setMenuController(menuController_);
    }
    if (iconController_) {
        iconController_->setMenuHandler(menuHandler_);
    }
}

void MasterControlProgram::onUnableToConnect(qint64 attempts) {
    log()->repeating(VTLogger::Info, QStringLiteral("connection attempt made."));
    if (attempts < kChecksBeforeUnableToConnect) {
        return;
    }
    if (state_) {
        state_->setIsStarting(false);
    }
    log()->repeating(VTLogger::Warning, QStringLiteral("Unable to connect to VTS"),
                     QStringLiteral("Unable to connect to VTS after %1 attempts").arg(attempts));
    showProblem(msgUnableToConnect());
}

void MasterControlProgram::onDestinationsChanged(quint64 count) {
    if (count == 0) {
        showProblem(msgNoDestinationsConfigured());
    } else {
        hideProblem();
    }
}

void MasterControlProgram::switchToLegacyMessaging() {
    // Posted to the hub directly, not through this class's logger.
    DDLog::log(true, VTLogger::kLogMask, VTLogger::kFlagInfo, 0, __FILE__, __func__, __LINE__,
               std::string("Switching to legacy messaging."));
    if (state_) {
        state_->setIsUsingLegacyMessaging(true);
    }
    if (connectionController_) {
        connectionController_->switchToLegacyMessaging();
    }
}

void MasterControlProgram::playPauseComputer(qint64 guid) {
    if (menuHandler_) {
        menuHandler_->playPauseComputerToggled(guid);
    }
}

void MasterControlProgram::VT_menuOpenStateToggled() {
    if (!connection_ || !connection_->isConnected() || !statsRequestor_) {
        return;
    }
    const bool open = menuHandler_ && menuHandler_->isMenuOpen();
    statsRequestor_->restartStatsRequestTimer(!open);
    if (open) {
        statsRequestor_->requestStatsUpdate();
        VTUtils::delayWithObject(
            this, [this] { VT_HACK_forceUpdateIsActive(); }, 0.02);
        VTUtils::delayWithObject(
            this, [this] { VT_HACK_forceUpdateIsActive(); }, 0.15);
    }
}

void MasterControlProgram::VT_HACK_forceUpdateIsActive() {
    if (!state_) {
        return;
    }
    QList<VTComputer*> computers;
    for (VTComputer* destination : state_->destinations()) {
        computers.append(destination);
    }
    for (VTComputer* source : state_->sources()) {
        computers.append(source);
    }
    for (VTComputer* computer : computers) {
        if (computer->stats()) {
            computer->stats()->calcAndSetIsActive();
        }
    }
}

void MasterControlProgram::showProblem(const QString& text) {
    problemText_ = text;
    problemVisible_ = true;
    emit problemChanged();
}

void MasterControlProgram::hideProblem() {
    problemVisible_ = false;
    emit problemChanged();
}

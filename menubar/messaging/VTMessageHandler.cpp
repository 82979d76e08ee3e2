#include "messaging/VTMessageHandler.h"

#include <exception>

#include "app/VTMenuHandler.h"
#include "app/VTStatusMenu.h"
#include "app/VTUtils.h"
#include "messaging/AlertCountMessage.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/CommandTrayResponseMessage.h"
#include "messaging/ComputerConnectedMessage.h"
#include "messaging/ComputerDisconnectedMessage.h"
#include "messaging/ShutdownMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "messaging/VTApplicationController.h"
#include "messaging/VTMessageCatalogue.h"
#include "messaging/WebLoginKeyTrayResponseMessage.h"
#include "model/VTVaultorState.h"

VTMessageHandler::VTMessageHandler(VTApplicationController* mcp, VTVaultorState* state,
                                   QObject* parent)
    : VTLoggingObject(parent),
      mcp_(mcp),
      state_(state),
      quit_(&VTUtils::zedQuit),
      openPage_(&VTUtils::openManageAccountPage) {}

void VTMessageHandler::messageReceived(const QByteArray& payload, qint16 msgID) {
    // One bad message must never take the client down: whatever goes wrong while building or
    // applying it drops that message only, and the next frame is handled as usual.
    try {
        dispatch(payload, msgID);
    } catch (const std::exception&) {
    } catch (...) {
    }
}

bool VTMessageHandler::isMenuOpen() const {
    return menuHandler_ && menuHandler_->isMenuOpen();
}

void VTMessageHandler::dispatch(const QByteArray& payload, qint16 msgID) {
    if (msgID == VTMessageCatalogue::kSetMessageTypeResultID) {
        log()->finer(QStringLiteral("Recv'd SetMessageTypeResultMessage"));
        return;
    }
    if (!state_) {
        return;
    }
    VTMessageCatalogue::deliver(msgID, payload, *this);
}

void VTMessageHandler::handle(AlertCountMessage& message) {
    if (message.count()) {
        state_->setAlert(message.hasAlerts());
    }
}

void VTMessageHandler::handle(ComputerConnectedMessage& message) {
    VT_setComputerIsConnected(message, true);
}

void VTMessageHandler::handle(ComputerDisconnectedMessage& message) {
    VT_setComputerIsConnected(message, false);
}

void VTMessageHandler::handle(ShutdownMessage&) {
    if (VTUtils::boolFromDefaultPlist(QStringLiteral("VTQuitOnShutdownMessage"))) {
        quit_(QStringLiteral("Received shutdown message -- exiting."));
    } else {
        log()->info(
            QStringLiteral("Received shutdown message, but NOT exiting per setting in plist."));
    }
}

void VTMessageHandler::handle(WebLoginKeyTrayResponseMessage& message) {
    openPage_(message.key().value_or(QString()), state_);
}

void VTMessageHandler::handle(AppStateMessage& message) {
    if (isMenuOpen() || message.contentUtf8() != lastAppStateMessageContent_) {
        message.applyTo(*state_);
        lastAppStateMessageContent_ = message.contentUtf8();
        log()->finer([&message] { return message.description(); });
    }
    if (mcp_) {
        mcp_->onDestinationsChanged(static_cast<quint64>(state_->destinations().size()));
    }
    if (connection_) {
        connection_->requestStatsUpdate();
    }
}

void VTMessageHandler::handle(BackupStatsSummaryMessage& message) {
    if (message.contentString() == lastBackupStatsSummaryContent_) {
        return;
    }
    lastBackupStatsSummaryContent_ = message.contentString();
    state_->updateFromBackupStatsSummary(message.stats());
    if (state_->isUsingLegacyMessaging()) {
        return;
    }
    const int status = state_->backupStatus();
    if (status != VTBackupStatusSafe && status != VTBackupStatusComplete) {
        checkedFullStatsSinceNotActive_ = false;
        return;
    }
    if (state_->isReceiving() || state_->isSending() || state_->isRestoring()) {
        checkedFullStatsSinceNotActive_ = false;
    } else if (!checkedFullStatsSinceNotActive_) {
        if (connection_) {
            connection_->requestStatsUpdate();
        }
        checkedFullStatsSinceNotActive_ = true;
    }
}

void VTMessageHandler::handle(StatsMessage& message) {
    ++statsMessageCount_;
    if (!isMenuOpen() && message.contentUtf8() == lastStatsMessageContent_) {
        return;
    }
    message.applyTo(*state_);
    if (menuController_) {
        menuController_->resizeDetailsTextButtons();
    }
    lastStatsMessageContent_ = message.contentUtf8();
    if (statsMessageCount_ % 5 == 0) {
        log()->finer([&message] { return message.description(); });
    }
}

void VTMessageHandler::handle(StatusTrayMessage& message) {
    // A legacy service answers every pre-registration with version 0. Switching again each
    // time would replace the legacy connection before it could register, forever: once the
    // client speaks the legacy protocol, version 0 registers like any other version.
    const bool registers = message.version() != 0 || state_->isUsingLegacyMessaging();
    if (registers) {
        if (connection_ && !connection_->isConnected()) {
            connection_->registerWithVTS();
            log()->fine(QStringLiteral("Registration attempted"));
        }
    } else if (mcp_) {
        mcp_->switchToLegacyMessaging();
    }
    state_->setIsUpgrading(message.isUpgrading());
    const QString appName = message.appName();
    if (!appName.isEmpty()) {
        state_->setAppName(appName);
    }
}

void VTMessageHandler::handle(CommandTrayResponseMessage& message) {
    log()->info(QStringLiteral("Received CommandTrayResponseMessage -- msg: ") +
                message.description());
}

void VTMessageHandler::VT_setComputerIsConnected(const CoreComputerTokenMessage& message,
                                                 bool connected) {
    const auto guid = message.computerID();
    if (!guid) {
        return;  // a computer message without a GUID carries nothing to apply
    }
    for (VTComputer* computer : state_->allComputers()) {
        if (computer->GUID() == *guid && computer->stats()) {
            computer->stats()->setIsConnected(connected);
            return;
        }
    }
    log()->warning(QStringLiteral("Asked to change 'isConnected' status for GUID %1, but I "
                                  "couldn't find any computer with that GUID.")
                       .arg(*guid));
}

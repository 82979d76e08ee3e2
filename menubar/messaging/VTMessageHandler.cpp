#include "VTMessageHandler.h"

#include <exception>

#include "AlertCountMessage.h"
#include "AppStateMessage.h"
#include "BackupStatsSummaryMessage.h"
#include "CommandTrayResponseMessage.h"
#include "ComputerConnectedMessage.h"
#include "ComputerDisconnectedMessage.h"
#include "ComputersMessage.h"
#include "ShutdownMessage.h"
#include "StatsMessage.h"
#include "StatusTrayMessage.h"
#include "TrayPopupMessage.h"
#include "VTApplicationController.h"
#include "VTMessageCatalogue.h"
#include "VTUtils.h"
#include "VTVaultorState.h"
#include "WebLoginKeyTrayResponseMessage.h"

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
    return menuHandler_ && menuHandler_->property("isMenuOpen").toBool();
}

void VTMessageHandler::dispatch(const QByteArray& payload, qint16 msgID) {
    if (msgID == VTMessageCatalogue::kSetMessageTypeResultID) {
        log()->finer(QStringLiteral("Recv'd SetMessageTypeResultMessage"));
        return;
    }
    const std::unique_ptr<VTMessage> message = VTMessageCatalogue::incomingMessage(msgID, payload);
    if (!message || !state_) {
        return;
    }
    switch (msgID) {
        case AppStateMessage::kMessageID:
            VT_onMessageAppState(static_cast<AppStateMessage&>(*message));
            break;
        case BackupStatsSummaryMessage::kMessageID:
            VT_onMessageBackupStatsSummary(static_cast<BackupStatsSummaryMessage&>(*message));
            break;
        case AlertCountMessage::kMessageID:
            if (static_cast<AlertCountMessage&>(*message).count()) {
                state_->setAlert(static_cast<AlertCountMessage&>(*message).hasAlerts());
            }
            break;
        case CommandTrayResponseMessage::kMessageID:
            VT_onMessageCommandTrayResponse(static_cast<CommandTrayResponseMessage&>(*message));
            break;
        case ComputerConnectedMessage::kMessageID:
            VT_setComputerIsConnected(static_cast<CoreComputerTokenMessage&>(*message), true);
            break;
        case ComputerDisconnectedMessage::kMessageID:
            VT_setComputerIsConnected(static_cast<CoreComputerTokenMessage&>(*message), false);
            break;
        case ShutdownMessage::kMessageID:
            if (VTUtils::boolFromDefaultPlist(QStringLiteral("VTQuitOnShutdownMessage"))) {
                quit_(QStringLiteral("Received shutdown message -- exiting."));
            } else {
                log()->info(QStringLiteral(
                    "Received shutdown message, but NOT exiting per setting in plist."));
            }
            break;
        case StatsMessage::kMessageID:
            VT_onMessageStats(static_cast<StatsMessage&>(*message));
            break;
        case StatusTrayMessage::kMessageID:
            VT_onMessageStatusTray(static_cast<StatusTrayMessage&>(*message));
            break;
        case WebLoginKeyTrayResponseMessage::kMessageID:
            openPage_(
                static_cast<WebLoginKeyTrayResponseMessage&>(*message).key().value_or(QString()),
                state_);
            break;
        default:  // the computer list and the pop-up request are not acted on
            break;
    }
}

void VTMessageHandler::VT_onMessageAppState(AppStateMessage& message) {
    if (isMenuOpen() || message.contentUtf8() != lastAppStateMessageContent_) {
        state_->updateFromAppStateMessage(message);
        lastAppStateMessageContent_ = message.contentUtf8();
        log()->finer(message.description());
    }
    if (mcp_) {
        mcp_->onDestinationsChanged(static_cast<quint64>(state_->destinations().size()));
    }
    if (connection_) {
        connection_->requestStatsUpdate();
    }
}

void VTMessageHandler::VT_onMessageBackupStatsSummary(BackupStatsSummaryMessage& message) {
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

void VTMessageHandler::VT_onMessageStats(StatsMessage& message) {
    ++statsMessageCount_;
    if (!isMenuOpen() && message.contentUtf8() == lastStatsMessageContent_) {
        return;
    }
    state_->updateFromStatsMessage(message);
    if (menuController_) {
        QMetaObject::invokeMethod(menuController_, "resizeDetailsTextButtons");
    }
    lastStatsMessageContent_ = message.contentUtf8();
    if (statsMessageCount_ % 5 == 0 && VTLogger::isRecorded(VTLogger::Finer)) {
        log()->finer(message.description());
    }
}

void VTMessageHandler::VT_onMessageStatusTray(const StatusTrayMessage& message) {
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

void VTMessageHandler::VT_onMessageCommandTrayResponse(const CommandTrayResponseMessage& message) {
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

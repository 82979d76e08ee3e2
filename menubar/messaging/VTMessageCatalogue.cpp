#include "VTMessageCatalogue.h"

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
#include "WebLoginKeyTrayResponseMessage.h"

namespace {

std::unique_ptr<VTMessage> emptyMessageWithID(qint16 msgID) {
    switch (msgID) {
        case StatusTrayMessage::kMessageID:
            return std::make_unique<StatusTrayMessage>();
        case ShutdownMessage::kMessageID:
            return std::make_unique<ShutdownMessage>();
        case AlertCountMessage::kMessageID:
            return std::make_unique<AlertCountMessage>();
        case ComputerConnectedMessage::kMessageID:
            return std::make_unique<ComputerConnectedMessage>();
        case ComputerDisconnectedMessage::kMessageID:
            return std::make_unique<ComputerDisconnectedMessage>();
        case ComputersMessage::kMessageID:
            return std::make_unique<ComputersMessage>();
        case BackupStatsSummaryMessage::kMessageID:
            return std::make_unique<BackupStatsSummaryMessage>();
        case StatsMessage::kMessageID:
            return std::make_unique<StatsMessage>();
        case AppStateMessage::kMessageID:
            return std::make_unique<AppStateMessage>();
        case CommandTrayResponseMessage::kMessageID:
            return std::make_unique<CommandTrayResponseMessage>();
        case WebLoginKeyTrayResponseMessage::kMessageID:
            return std::make_unique<WebLoginKeyTrayResponseMessage>();
        case TrayPopupMessage::kMessageID:
            return std::make_unique<TrayPopupMessage>();
        default:
            return nullptr;
    }
}

}  // namespace

std::unique_ptr<VTMessage> VTMessageCatalogue::incomingMessage(qint16 msgID,
                                                               const QByteArray& payload) {
    std::unique_ptr<VTMessage> message = emptyMessageWithID(msgID);
    if (message) {
        message->initWithData(payload);
    }
    return message;
}

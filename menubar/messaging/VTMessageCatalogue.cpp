#include "messaging/VTMessageCatalogue.h"

#include <algorithm>
#include <iterator>

#include "messaging/AlertCountMessage.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/CommandTrayResponseMessage.h"
#include "messaging/ComputerConnectedMessage.h"
#include "messaging/ComputerDisconnectedMessage.h"
#include "messaging/ComputersMessage.h"
#include "messaging/ShutdownMessage.h"
#include "messaging/StatsMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "messaging/TrayPopupMessage.h"
#include "messaging/VTIncomingMessageHandler.h"
#include "messaging/WebLoginKeyTrayResponseMessage.h"

namespace {

// One incoming type: how to make an empty message of it, and how to hand a message that
// `make` built to a handler as that type.
struct IncomingType {
    qint16 msgID;
    std::unique_ptr<VTMessage> (*make)();
    void (*deliver)(VTMessage& message, VTIncomingMessageHandler& handler);
};

template <class Message>
constexpr IncomingType incoming() {
    return {Message::kMessageID, [] { return std::unique_ptr<VTMessage>(new Message()); },
            [](VTMessage& message, VTIncomingMessageHandler& handler) {
                handler.handle(static_cast<Message&>(message));
            }};
}

constexpr IncomingType kIncomingTypes[] = {
    incoming<StatusTrayMessage>(),
    incoming<ShutdownMessage>(),
    incoming<AlertCountMessage>(),
    incoming<ComputerConnectedMessage>(),
    incoming<ComputerDisconnectedMessage>(),
    incoming<ComputersMessage>(),
    incoming<BackupStatsSummaryMessage>(),
    incoming<StatsMessage>(),
    incoming<AppStateMessage>(),
    incoming<CommandTrayResponseMessage>(),
    incoming<WebLoginKeyTrayResponseMessage>(),
    incoming<TrayPopupMessage>(),
};

const IncomingType* incomingType(qint16 msgID) {
    const auto found =
        std::find_if(std::begin(kIncomingTypes), std::end(kIncomingTypes),
                     [msgID](const IncomingType& type) { return type.msgID == msgID; });
    return found == std::end(kIncomingTypes) ? nullptr : found;
}

}  // namespace

std::unique_ptr<VTMessage> VTMessageCatalogue::incomingMessage(qint16 msgID,
                                                               const QByteArray& payload) {
    const IncomingType* type = incomingType(msgID);
    if (!type) {
        return nullptr;
    }
    std::unique_ptr<VTMessage> message = type->make();
    message->initWithData(payload);
    return message;
}

bool VTMessageCatalogue::deliver(qint16 msgID, const QByteArray& payload,
                                 VTIncomingMessageHandler& handler) {
    const IncomingType* type = incomingType(msgID);
    if (!type) {
        return false;
    }
    std::unique_ptr<VTMessage> message = type->make();
    message->initWithData(payload);
    type->deliver(*message, handler);
    return true;
}

#pragma once

#include <QByteArray>
#include <memory>

#include "messaging/VTMessage.h"

class VTIncomingMessageHandler;

// The incoming message types, by ID: builds each from its frame.
class VTMessageCatalogue {
  public:
    // The service's answer to SetMessageTypeMessage; it has no class and is only logged.
    static constexpr qint16 kSetMessageTypeResultID = -14619;

    // The message of that type filled from the payload, or nullptr for an ID that no
    // incoming type has.
    static std::unique_ptr<VTMessage> incomingMessage(qint16 msgID, const QByteArray& payload);
    // Builds the message and hands it to the handler as its own type; false for an ID that no
    // incoming type has.
    static bool deliver(qint16 msgID, const QByteArray& payload, VTIncomingMessageHandler& handler);
};

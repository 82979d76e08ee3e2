#pragma once

#include <QByteArray>
#include <memory>

#include "VTMessage.h"

// Builds the incoming message types from their frames.
class VTMessageCatalogue {
  public:
    // The service's answer to SetMessageTypeMessage; it has no class and is only logged.
    static constexpr qint16 kSetMessageTypeResultID = -14619;

    // The message of that type filled from the payload, or nullptr for an ID that no
    // incoming type has.
    static std::unique_ptr<VTMessage> incomingMessage(qint16 msgID, const QByteArray& payload);
};

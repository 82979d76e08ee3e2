#pragma once

#include "messaging/VTTokenMessage.h"

// Announces a message type to the service before its first frame: its ID in decimal and
// its wire class name.
class VTClassMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(VTClassMessage, -32669)
  public:
    explicit VTClassMessage(const VTMessage& announced) {
        addToken(announced.messageID());
        addToken(announced.messageClassName());
    }
};

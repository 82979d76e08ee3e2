#pragma once

#include "messaging/VTStringMessage.h"

// Carries one service command as plain text, without token splitting.
class CommandTrayRequestMessage : public VTStringMessage {
    VT_MESSAGE_TYPE(CommandTrayRequestMessage, -30964)
  public:
    explicit CommandTrayRequestMessage(const QString& command) { initWithString(command); }
};

#pragma once

#include "messaging/VTTokenMessage.h"

// Asks for the computers list (legacy service); its one token is "false".
class GetComputersMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(GetComputersMessage, -19328)
  public:
    GetComputersMessage() { initWithString(QStringLiteral("false")); }
};

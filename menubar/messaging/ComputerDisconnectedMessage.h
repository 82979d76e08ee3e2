#pragma once

#include "messaging/CoreComputerTokenMessage.h"

// A computer went offline; its one token is the GUID.
class ComputerDisconnectedMessage : public CoreComputerTokenMessage {
    VT_MESSAGE_TYPE(ComputerDisconnectedMessage, 2586)
};

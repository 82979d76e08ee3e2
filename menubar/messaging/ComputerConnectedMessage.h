#pragma once

#include "messaging/CoreComputerTokenMessage.h"

// A computer came online; its one token is the GUID.
class ComputerConnectedMessage : public CoreComputerTokenMessage {
    VT_MESSAGE_TYPE(ComputerConnectedMessage, -729)
};

#pragma once

#include "messaging/VTTokenMessage.h"

// The service is going away. Its tokens are not read.
class ShutdownMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(ShutdownMessage, 14493)
};

#pragma once

#include "messaging/VTMessage.h"

// Asks for the alert count. No payload.
class AlertRequestMessage : public VTMessage {
    VT_MESSAGE_TYPE(AlertRequestMessage, 6111)
};

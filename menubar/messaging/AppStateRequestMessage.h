#pragma once

#include "messaging/VTMessage.h"

// Asks for the application-state document. No payload.
class AppStateRequestMessage : public VTMessage {
    VT_MESSAGE_TYPE(AppStateRequestMessage, 13086)
};

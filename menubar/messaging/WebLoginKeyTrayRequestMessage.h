#pragma once

#include "messaging/VTMessage.h"

// Asks for a web login key. No payload.
class WebLoginKeyTrayRequestMessage : public VTMessage {
    VT_MESSAGE_TYPE(WebLoginKeyTrayRequestMessage, 8871)
};

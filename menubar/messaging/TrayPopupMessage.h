#pragma once

#include "messaging/VTTokenMessage.h"

// Asks the tray to show itself. Its tokens are not read.
class TrayPopupMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(TrayPopupMessage, 8738)
};

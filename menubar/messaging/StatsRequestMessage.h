#pragma once

#include "messaging/VTMessage.h"

// Asks for a statistics document. No payload.
class StatsRequestMessage : public VTMessage {
    VT_MESSAGE_TYPE(StatsRequestMessage, -6166)
};

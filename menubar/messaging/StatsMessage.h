#pragma once

#include "VTJSONDictMessage.h"

// The statistics document.
class StatsMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(StatsMessage, -23102)
};

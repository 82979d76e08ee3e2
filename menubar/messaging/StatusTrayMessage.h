#pragma once

#include "VTTokenMessage.h"

// The service's status answer to the pre-registration query.
class StatusTrayMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(StatusTrayMessage, 5423)
};

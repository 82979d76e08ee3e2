#pragma once

#include "VTTokenMessage.h"

// The legacy service's list of computers.
class ComputersMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(ComputersMessage, -669)
};

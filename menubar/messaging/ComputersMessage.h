#pragma once

#include "messaging/VTTokenMessage.h"
#include "model/VTComputer.h"
#include "model/VTUniqueSet.h"

// The legacy service's list of computers: token 0 is not used, each further token is one
// computer record (fields separated by ",").
class ComputersMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(ComputersMessage, -669)
  public:
    // The computers of the records, owned by owner; records with the same GUID make one.
    VTUniqueSet<VTComputer> computersSet(QObject* owner) const;
};

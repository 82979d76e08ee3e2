#pragma once

#include "messaging/VTTokenMessage.h"

// Pauses every backup for a number of minutes, its one token.
class PauseSystemMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(PauseSystemMessage, -7397)
  public:
    explicit PauseSystemMessage(qint64 minutes) { addToken(minutes); }
};

#pragma once

#include "messaging/VTTokenMessage.h"

// The number of alerts the service holds, as its first token.
class AlertCountMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(AlertCountMessage, 155)
  public:
    // The first token read as an integer, or nothing when the message carries none.
    std::optional<qint64> count() const;
    bool hasAlerts() const { return count().value_or(0) != 0; }
};

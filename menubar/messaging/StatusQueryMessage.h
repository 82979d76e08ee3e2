#pragma once

#include "messaging/VTTokenMessage.h"

// Pre-registration: "VTT" and the registration token from the endpoint file.
class StatusQueryMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(StatusQueryMessage, 15105)
  public:
    StatusQueryMessage() { initWithString(QStringLiteral("VTT")); }
    explicit StatusQueryMessage(const QString& registrationToken) : StatusQueryMessage() {
        addToken(registrationToken);
    }
};

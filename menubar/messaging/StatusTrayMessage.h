#pragma once

#include "messaging/VTTokenMessage.h"

// The service's status answer to the pre-registration query. Token 0 is not read.
class StatusTrayMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(StatusTrayMessage, 5423)
  public:
    // Token 1, "true" or "false". The token is required: throws std::out_of_range (after a
    // warning) when the message has fewer than two tokens, so that handling stops there.
    bool isUpgrading() const;
    // Tokens 2 and 3; the application's default name ("kDefaultAppName") when missing.
    QString appBaseName() const;
    QString appName() const;
    // Token 4; 0 (the legacy protocol) when the message has fewer than five tokens.
    qint64 version() const;
};

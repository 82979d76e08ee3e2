#pragma once

#include "messaging/VTTokenMessage.h"

// Common base of the messages that name one computer by its GUID. Answers the base ID 0.
class CoreComputerTokenMessage : public VTTokenMessage {
  public:
    CoreComputerTokenMessage() = default;
    void initWithComputerID(qint64 guid) { addToken(guid); }
    // The first token as a signed 64-bit GUID, or nothing when the message carries none.
    std::optional<qint64> computerID() const;
    QString className() const override { return QStringLiteral("CoreComputerTokenMessage"); }
};

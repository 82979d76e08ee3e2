#pragma once

#include "messaging/VTTokenMessage.h"

// Tells the service which message interface the client speaks, stamped with the time.
class SetMessageTypeMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(SetMessageTypeMessage, -25845)
  public:
    static constexpr const char* kTrayInterface = "com.keepery.service.ui.message.ITrayMessage";
    static constexpr const char* kBaseTrayInterface =
        "com.keepery.service.ui.message.IBaseTrayMessage";

    static SetMessageTypeMessage msgWithName(const QString& interfaceName);
    // Whole milliseconds since 1970-01-01 00:00 UTC.
    static qint64 VT_timestamp();
};

#pragma once

#include "messaging/VTMessage.h"

// Asks for the backup statistics summary. No payload.
class GetBackupStatsSummaryMessage : public VTMessage {
    VT_MESSAGE_TYPE(GetBackupStatsSummaryMessage, 24549)
};

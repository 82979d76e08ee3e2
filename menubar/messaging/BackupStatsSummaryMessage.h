#pragma once

#include "VTTokenMessage.h"

// The legacy service's statistics summary.
class BackupStatsSummaryMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(BackupStatsSummaryMessage, 95)
};

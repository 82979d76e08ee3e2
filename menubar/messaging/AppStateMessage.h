#pragma once

#include "StatsMessage.h"

// The application-state document: computers, sets and statistics.
class AppStateMessage : public StatsMessage {
    VT_MESSAGE_TYPE(AppStateMessage, -15227)
};

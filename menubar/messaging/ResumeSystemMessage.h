#pragma once

#include "messaging/VTMessage.h"

// Resumes every backup. No payload.
class ResumeSystemMessage : public VTMessage {
    VT_MESSAGE_TYPE(ResumeSystemMessage, -18469)
};

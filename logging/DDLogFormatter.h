#pragma once

#include <optional>
#include <string>

#include "DDLogMessage.h"

// Turns a message into its line of text, or into nothing to drop it for its logger.
class DDLogFormatter {
  public:
    virtual ~DDLogFormatter() = default;
    virtual std::optional<std::string> formatLogMessage(const DDLogMessage& message) = 0;
};

#pragma once

#include "logging/DDLogFormatter.h"

// The restore log's short line: "<letter of the level mask> <date> <message>".
class ZedRestoreLogFormatter : public DDLogFormatter {
  public:
    // Followed by "AM" or "PM".
    static constexpr const char* kDatePattern = "%m/%d/%y %I:%M";

    std::optional<std::string> formatLogMessage(const DDLogMessage& message) override;
};

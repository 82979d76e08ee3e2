#pragma once

#include "logging/DDLogFormatter.h"

// The developer's console line: "<tag> <date> - <file>:<line>(<function>) - <message>".
class ZedDevLogFormatter : public DDLogFormatter {
  public:
    static constexpr const char* kDatePattern = "%Y-%m-%d %H:%M:%S.%Q";

    std::optional<std::string> formatLogMessage(const DDLogMessage& message) override;
};

#pragma once

#include <cstddef>

#include "logging/DDLogFormatter.h"

// The line support staff read: date, severity, category, queue or thread, file and function in
// fixed-width tab-separated fields, then the message.
class ZedSupportLogFormatter : public DDLogFormatter {
  public:
    static constexpr const char* kDatePattern = "%Y-%m-%d %H:%M:%S.%Q%z";

    std::optional<std::string> formatLogMessage(const DDLogMessage& message) override;

    // Exactly `length` characters: the text's last ones when it is longer, padded with spaces
    // when shorter, "-" for an empty text. A length of 0 gives nothing.
    static std::optional<std::string> formatLogField(const std::string& text, std::size_t length);
};

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "DDLogFormatter.h"
#include "DDLogMessage.h"

// A destination for log messages. The hub calls logMessage only on its logging queue, one
// message at a time, so loggers and their formatters need no locking of their own.
class DDLogger {
  public:
    virtual ~DDLogger() = default;

    virtual void logMessage(const DDLogMessage& message) = 0;
    // Writes out whatever the logger buffered. The hub calls it whenever its queue runs empty.
    virtual void flush() {}

    void setLogFormatter(std::shared_ptr<DDLogFormatter> formatter) {
        formatter_ = std::move(formatter);
    }
    const std::shared_ptr<DDLogFormatter>& logFormatter() const { return formatter_; }

  protected:
    // The formatter's line, the plain message text without a formatter, or nothing when the
    // formatter drops the message.
    std::optional<std::string> lineFor(const DDLogMessage& message) const {
        if (formatter_) {
            return formatter_->formatLogMessage(message);
        }
        return message.logMsg;
    }

  private:
    std::shared_ptr<DDLogFormatter> formatter_;
};

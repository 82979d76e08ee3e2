#pragma once

#include "DDLogger.h"

// The system log: every message at one fixed syslog severity (notice unless told otherwise).
class DDASLLogger : public DDLogger {
  public:
    explicit DDASLLogger(int severity = 5);

    void logMessage(const DDLogMessage& message) override;

  private:
    int severity_;
};

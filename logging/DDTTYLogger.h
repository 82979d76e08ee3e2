#pragma once

#include <string>

#include "DDLogger.h"

// The console logger: one line per message on standard error (or on the given descriptor).
// Without a formatter a line reads "yyyy-MM-dd HH:mm:ss:SSS name[pid:tid] message".
class DDTTYLogger : public DDLogger {
  public:
    explicit DDTTYLogger(int fileDescriptor = 2);

    void logMessage(const DDLogMessage& message) override;

    static bool standardErrorIsTerminal();

  private:
    std::string defaultLine(const DDLogMessage& message) const;

    int fileDescriptor_;
    std::string processName_;
    long processID_;
};

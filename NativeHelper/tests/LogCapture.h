#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "logging/DDLog.h"
#include "logging/DDLogger.h"

// Collects the library's log messages so that tests can look for the exact texts.
class LogCapture : public DDLogger {
  public:
    // The one capture of the test process, registered with the hub on first use.
    static LogCapture& shared() {
        static std::shared_ptr<LogCapture> capture = [] {
            auto made = std::make_shared<LogCapture>();
            DDLog::addLogger(made);
            return made;
        }();
        return *capture;
    }

    void logMessage(const DDLogMessage& message) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(message);
    }

    void clear() {
        DDLog::flushLog();
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

    std::vector<DDLogMessage> messages() {
        DDLog::flushLog();
        std::lock_guard lock(mutex_);
        return messages_;
    }

    bool contains(const std::string& text) {
        for (const auto& message : messages()) {
            if (message.logMsg == text) {
                return true;
            }
        }
        return false;
    }

  private:
    std::mutex mutex_;
    std::vector<DDLogMessage> messages_;
};

#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "DDLogFileManagerDefault.h"
#include "DDLogger.h"

// Writes each line to the current file of its manager, and moves on to a new file once the
// current one grows past maximumFileSize or gets older than rollingFrequency.
class DDFileLogger : public DDLogger {
  public:
    static constexpr std::uint64_t kDefaultMaximumFileSize = 1024 * 1024;
    static constexpr std::chrono::seconds kDefaultRollingFrequency{24 * 60 * 60};

    explicit DDFileLogger(std::shared_ptr<DDLogFileManagerDefault> manager);
    ~DDFileLogger() override;
    DDFileLogger(const DDFileLogger&) = delete;
    DDFileLogger& operator=(const DDFileLogger&) = delete;

    // Set these before the logger is added to the hub.
    std::uint64_t maximumFileSize = kDefaultMaximumFileSize;                // 0: never roll by size
    std::chrono::milliseconds rollingFrequency = kDefaultRollingFrequency;  // 0: never by age

    void logMessage(const DDLogMessage& message) override;
    void flush() override;

    const std::shared_ptr<DDLogFileManagerDefault>& logFileManager() const { return manager_; }

    // Closes the current file; the next message starts a new one.
    void rollLogFile();

  private:
    bool openNewFile();
    bool reuseNewestFile();
    bool isTooOld() const;
    void closeCurrentFile();

    // Lines are collected and written in one go when the hub's queue runs empty (or this
    // much is waiting): one system call per burst instead of one per line.
    static constexpr std::size_t kBufferLimit = 64 * 1024;
    std::string buffer_;

    std::shared_ptr<DDLogFileManagerDefault> manager_;
    int fd_ = -1;
    bool mayReuseNewestFile_ = true;  // an earlier run's file is continued, a rolled one never
    std::uint64_t size_ = 0;
    std::chrono::system_clock::time_point created_;
};

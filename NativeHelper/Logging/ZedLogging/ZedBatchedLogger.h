#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Dispatch/ZedDispatchQueue.h"

// Gathers messages for a fixed interval and logs them as one entry, so that a burst of similar
// events costs one log line instead of hundreds. The interval starts with the first message
// after a batch went out.
class ZedBatchedLogger : public std::enable_shared_from_this<ZedBatchedLogger> {
  public:
    // There is no sensible default interval, level or flag.
    ZedBatchedLogger() = delete;

    static std::shared_ptr<ZedBatchedLogger> create(std::uint64_t batchIntervalMs, int logLevel,
                                                    int logFlag);

    ZedBatchedLogger(const ZedBatchedLogger&) = delete;
    ZedBatchedLogger& operator=(const ZedBatchedLogger&) = delete;

    void appendMessage(const char* format, ...) __attribute__((format(printf, 2, 3)));

  private:
    ZedBatchedLogger(std::uint64_t batchIntervalMs, int logLevel, int logFlag);

    void _processBatch();

    const std::uint64_t _batchIntervalMs;
    const int _logLevel;
    const int _logFlag;
    bool _messageScheduled = false;
    std::vector<std::string> _messages;
    std::shared_ptr<ZedDispatchQueue> _queue;
};

#pragma once

#include <cstdint>
#include <string>

// What the access watcher tells its owner: each opening of a traced process, and messages for
// the owner's log callback.
class ZedFileAccessWatcherDelegate {
  public:
    virtual ~ZedFileAccessWatcherDelegate() = default;
    // `time` is in milliseconds since 1970-01-01 UTC.
    virtual void fileOpened(const std::string& path, const std::string& processName,
                            std::uint32_t userId, std::int64_t time) = 0;
    virtual void log(const std::string& message, int logLevel) = 0;
};

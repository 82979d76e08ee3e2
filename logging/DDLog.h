#pragma once

#include <cstdarg>
#include <memory>
#include <string>

#include "DDLogMessage.h"
#include "DDLogger.h"

// The process's logging hub: code anywhere posts messages, the hub hands each one to every
// registered logger on its own serial logging queue.
class DDLog {
  public:
    static constexpr const char* kQueueLabel = "cocoa.lumberjack";
    // Posts beyond this many pending messages wait until the queue has room.
    static constexpr std::size_t kMaximumPendingMessages = 1000;

    static void addLogger(std::shared_ptr<DDLogger> logger);
    static void removeAllLoggers();

    // The native library's entry: formats with printf rules. `tag` is carried, not used.
    static void log(bool asynchronous, int level, int flag, int context, const char* file,
                    const char* function, int line, const char* tag, const char* format, ...)
        __attribute__((format(printf, 9, 10)));
    static void logv(bool asynchronous, int level, int flag, int context, const char* file,
                     const char* function, int line, const char* tag, const char* format,
                     va_list arguments) __attribute__((format(printf, 9, 0)));

    // The client's tagless twin: the message is taken as given, never read as a format.
    static void log(bool asynchronous, int level, int flag, int context, const char* file,
                    const char* function, int line, std::string message);

    // printf formatting of a message text (empty for a null format).
    static std::string formatv(const char* format, va_list arguments)
        __attribute__((format(printf, 1, 0)));

    // Queues a finished record. A synchronous post returns after every logger handled it.
    static void queueLogMessage(DDLogMessage message, bool asynchronous);

    // Returns once every message posted before the call has reached every logger.
    static void flushLog();

    // Drains the queue and stops its thread; the next post starts a new one. Run where the
    // code that owns the hub goes away (a library being unloaded).
    static void shutdown();
};

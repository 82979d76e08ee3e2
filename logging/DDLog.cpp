#include "DDLog.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "DDLogQueue.h"

namespace {

// The hub's state: its loggers are touched only on the logging queue.
struct Hub {
    std::vector<std::shared_ptr<DDLogger>> loggers;
    DDLogQueue queue{DDLog::kQueueLabel, DDLog::kMaximumPendingMessages,
                     [this](const DDLogMessage& message) { deliver(message); },
                     [this] { flush(); }};

    void deliver(const DDLogMessage& message) {
        for (const auto& logger : loggers) {
            logger->logMessage(message);
        }
    }

    void flush() {
        for (const auto& logger : loggers) {
            logger->flush();
        }
    }
};

// Stops the hub's thread, after what is pending, when the program exits or the library holding
// this code is unloaded; the hub itself stays.
struct HubStopper {
    ~HubStopper();
};

// The hub is never destroyed: at exit other threads (and a library's unload hook, which runs
// after static destructors) may still log, and a destroyed hub would crash them. A message
// after the stop starts the thread again.
Hub& hub() {
    static Hub* const instance = new Hub;
    static const HubStopper stopper;
    return *instance;
}

HubStopper::~HubStopper() {
    hub().queue.stop();
}

// printf formatting into `small` when the text fits (most lines: no allocation), else into
// `large`; the view is of whichever holds the text.
std::string_view formatInto(char (&small)[256], std::string& large, const char* format,
                            va_list arguments) {
    if (!format) {
        return {};
    }
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, measuring);
    va_end(measuring);
    if (length <= 0) {
        return {};
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        return std::string_view(small, static_cast<std::size_t>(length));
    }
    large.resize(static_cast<std::size_t>(length));
    std::vsnprintf(large.data(), large.size() + 1, format, arguments);
    return large;
}

}  // namespace

std::string DDLog::formatv(const char* format, va_list arguments) {
    char small[256];
    std::string large;
    const std::string_view text = formatInto(small, large, format, arguments);
    return large.empty() ? std::string(text) : large;
}

void DDLog::addLogger(std::shared_ptr<DDLogger> logger) {
    if (!logger) {
        return;
    }
    Hub& h = hub();
    h.queue.postAndWait([&h, logger] { h.loggers.push_back(logger); });
}

void DDLog::removeAllLoggers() {
    Hub& h = hub();
    h.queue.postAndWait([&h] { h.loggers.clear(); });
}

void DDLog::log(bool asynchronous, int level, int flag, int context, const char* file,
                const char* function, int line, const char* tag, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    logv(asynchronous, level, flag, context, file, function, line, tag, format, arguments);
    va_end(arguments);
}

void DDLog::logv(bool asynchronous, int level, int flag, int context, const char* file,
                 const char* function, int line, const char* tag, const char* format,
                 va_list arguments) {
    // Formatted on the stack and copied into the queue's record: most lines need no
    // allocation at all.
    char small[256];
    std::string large;
    const std::string_view text = formatInto(small, large, format, arguments);
    hub().queue.postMessage(
        [&](DDLogMessage& message) {
            message.fillFromCurrentThread(level, flag, context, file, function, line, text);
            if (tag) {
                message.tag = tag;
            }
        },
        asynchronous);
}

void DDLog::log(bool asynchronous, int level, int flag, int context, const char* file,
                const char* function, int line, std::string text) {
    hub().queue.postMessage(
        [&](DDLogMessage& message) {
            message.fillFromCurrentThread(level, flag, context, file, function, line, text);
        },
        asynchronous);
}

void DDLog::queueLogMessage(DDLogMessage message, bool asynchronous) {
    hub().queue.postMessage([&](DDLogMessage& record) { record = message; }, asynchronous);
}

void DDLog::flushLog() {
    hub().queue.drain();
}

void DDLog::shutdown() {
    hub().queue.stop();
}

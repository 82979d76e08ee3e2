#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// One log record as the hub hands it to its loggers.
struct DDLogMessage {
    int logLevel = 0;    // the caller's level mask
    int logFlag = 0;     // one flag bit: the message's severity
    int logContext = 0;  // category
    std::string logMsg;
    std::chrono::system_clock::time_point timestamp;
    const char* file = "";
    const char* function = "";
    int lineNumber = 0;
    long machThreadID = 0;
    std::optional<std::string> queueLabel;
    std::optional<std::string> threadName;
    std::string tag;
    int options = 0;

    // Fills timestamp, thread id, thread name and queue label from the calling thread.
    static DDLogMessage fromCurrentThread(int level, int flag, int context, const char* file,
                                          const char* function, int line, std::string text);
    // The same, written over this record: its strings keep their storage, so a record that is
    // reused allocates nothing for a text that fits what it held before.
    void fillFromCurrentThread(int level, int flag, int context, const char* file,
                               const char* function, int line, std::string_view text);

    // A queue layer running work on a pooled thread names the queue here, so that log lines
    // written from that work carry the queue's label. Pass nullptr when the work is done.
    static void setCurrentQueueLabel(const char* label);
};

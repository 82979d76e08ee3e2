#include "DDLogMessage.h"

#include <pthread.h>
#include <unistd.h>

namespace {
thread_local const char* currentQueueLabel = nullptr;
}

void DDLogMessage::setCurrentQueueLabel(const char* label) { currentQueueLabel = label; }

DDLogMessage DDLogMessage::fromCurrentThread(int level, int flag, int context, const char* file,
                                             const char* function, int line, std::string text) {
    DDLogMessage message;
    message.logLevel = level;
    message.logFlag = flag;
    message.logContext = context;
    message.logMsg = std::move(text);
    message.timestamp = std::chrono::system_clock::now();
    message.file = file ? file : "";
    message.function = function ? function : "";
    message.lineNumber = line;
    message.machThreadID = static_cast<long>(gettid());
    if (currentQueueLabel) {
        message.queueLabel = currentQueueLabel;
    }
    char name[64] = {};
    if (pthread_getname_np(pthread_self(), name, sizeof name) == 0 && name[0] != '\0') {
        message.threadName = name;
    }
    return message;
}

#include "DDLogMessage.h"

#include <pthread.h>
#include <unistd.h>

namespace {
thread_local const char* currentQueueLabel = nullptr;

// Looked up once per thread: both cost a system call, and posting must stay cheap. A thread
// renamed after its first message keeps its first name in log lines.
struct ThreadIdentity {
    long id;
    std::optional<std::string> name;
};

const ThreadIdentity& threadIdentity() {
    thread_local const ThreadIdentity identity = [] {
        ThreadIdentity made{static_cast<long>(gettid()), std::nullopt};
        char name[64] = {};
        if (pthread_getname_np(pthread_self(), name, sizeof name) == 0 && name[0] != '\0') {
            made.name = name;
        }
        return made;
    }();
    return identity;
}

}  // namespace

void DDLogMessage::setCurrentQueueLabel(const char* label) {
    currentQueueLabel = label;
}

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
    const ThreadIdentity& thread = threadIdentity();
    message.machThreadID = thread.id;
    message.threadName = thread.name;
    if (currentQueueLabel) {
        message.queueLabel = currentQueueLabel;
    }
    return message;
}

#include "DDLogMessage.h"

#include <pthread.h>
#include <unistd.h>

namespace {
thread_local const char* currentQueueLabel = nullptr;

// Looked up once per thread: both cost a system call, and posting must stay cheap. A thread
// renamed after its first message keeps its first name in log lines. The record has no
// destructor on purpose: a thread-local object with one would keep a shared library that
// carries this hub loaded for as long as any thread that logged lives (for ever, for a Java
// thread), so the library could never unload.
struct ThreadIdentity {
    long id = 0;
    bool known = false;
    char name[16] = {};  // the kernel keeps at most 15 characters and the terminator
};

const ThreadIdentity& threadIdentity() {
    thread_local ThreadIdentity identity;
    if (!identity.known) {
        identity.id = static_cast<long>(gettid());
        if (pthread_getname_np(pthread_self(), identity.name, sizeof identity.name) != 0) {
            identity.name[0] = '\0';
        }
        identity.known = true;
    }
    return identity;
}

}  // namespace

void DDLogMessage::setCurrentQueueLabel(const char* label) {
    currentQueueLabel = label;
}

DDLogMessage DDLogMessage::fromCurrentThread(int level, int flag, int context, const char* file,
                                             const char* function, int line, std::string text) {
    DDLogMessage message;
    message.fillFromCurrentThread(level, flag, context, file, function, line, {});
    message.logMsg = std::move(text);
    return message;
}

void DDLogMessage::fillFromCurrentThread(int level, int flag, int context, const char* file,
                                         const char* function, int line, std::string_view text) {
    logLevel = level;
    logFlag = flag;
    logContext = context;
    logMsg.assign(text);
    timestamp = std::chrono::system_clock::now();
    this->file = file ? file : "";
    this->function = function ? function : "";
    lineNumber = line;
    const ThreadIdentity& thread = threadIdentity();
    machThreadID = thread.id;
    if (thread.name[0] != '\0') {
        threadName = thread.name;
    } else {
        threadName.reset();
    }
    if (currentQueueLabel) {
        queueLabel = currentQueueLabel;
    } else {
        queueLabel.reset();
    }
    tag.clear();
    options = 0;
}

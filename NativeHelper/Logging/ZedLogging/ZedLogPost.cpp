#include "ZedLogPost.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "DDLog.h"
#include "ZedDispatchQueue.h"

namespace {

// Trivially destructible on purpose (see the header).
struct ThreadIdentity {
    bool known = false;
    long id = 0;
    char name[16] = {};
};
thread_local ThreadIdentity identity;

const ThreadIdentity& currentIdentity() {
    if (!identity.known) {
        identity.id = static_cast<long>(gettid());
        if (pthread_getname_np(pthread_self(), identity.name, sizeof identity.name) != 0) {
            identity.name[0] = '\0';
        }
        identity.known = true;
    }
    return identity;
}

std::string formatted(const char* format, va_list arguments) {
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, arguments);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

namespace ZedLogPost {

void post(int level, int flag, int context, const char* file, const char* function, int line,
          const char* format, ...) {
    DDLogMessage message;
    message.logLevel = level;
    message.logFlag = flag;
    message.logContext = context;
    va_list arguments;
    va_start(arguments, format);
    message.logMsg = formatted(format, arguments);
    va_end(arguments);
    message.timestamp = std::chrono::system_clock::now();
    message.file = file ? file : "";
    message.function = function ? function : "";
    message.lineNumber = line;
    const ThreadIdentity& thread = currentIdentity();
    message.machThreadID = thread.id;
    if (thread.name[0] != '\0') {
        message.threadName = thread.name;
    }
    if (const ZedDispatchQueue* queue = ZedDispatchQueue::current()) {
        message.queueLabel = queue->label();
    }
    DDLog::queueLogMessage(std::move(message), true);
}

}  // namespace ZedLogPost

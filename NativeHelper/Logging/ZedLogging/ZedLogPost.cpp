#include "Logging/ZedLogging/ZedLogPost.h"

#include <cstdarg>
#include <string>

#include "Dispatch/ZedDispatchQueue.h"
#include "logging/DDLog.h"

namespace ZedLogPost {

void post(int level, int flag, int context, const char* file, const char* function, int line,
          const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string text = DDLog::formatv(format, arguments);
    va_end(arguments);
    DDLogMessage message = DDLogMessage::fromCurrentThread(level, flag, context, file, function,
                                                           line, std::move(text));
    if (const ZedDispatchQueue* queue = ZedDispatchQueue::current()) {
        message.queueLabel = queue->label();
    }
    DDLog::queueLogMessage(std::move(message), true);
}

}  // namespace ZedLogPost

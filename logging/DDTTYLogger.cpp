#include "DDTTYLogger.h"

#include <unistd.h>

#include <cstdio>

#include "DDLogTime.h"
#include "DDWriteFully.h"

DDTTYLogger::DDTTYLogger(int fileDescriptor)
    : fileDescriptor_(fileDescriptor),
      processName_(program_invocation_short_name),
      processID_(static_cast<long>(getpid())) {}

bool DDTTYLogger::standardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

std::string DDTTYLogger::defaultLine(const DDLogMessage& message) const {
    char ids[64];
    std::snprintf(ids, sizeof ids, "[%ld:%lx] ", processID_,
                  static_cast<unsigned long>(message.machThreadID));
    return DDLogTime::format(message.timestamp, "%Y-%m-%d %H:%M:%S:%Q") + " " + processName_ + ids +
           message.logMsg;
}

void DDTTYLogger::logMessage(const DDLogMessage& message) {
    std::optional<std::string> formatted =
        logFormatter() ? lineFor(message) : std::optional(defaultLine(message));
    if (!formatted) {
        return;
    }
    formatted->push_back('\n');
    DDWriteFully(fileDescriptor_, *formatted);  // a closed console loses the line, nothing else
}

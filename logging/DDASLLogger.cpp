#include "DDASLLogger.h"

#include <syslog.h>

DDASLLogger::DDASLLogger(int severity) : severity_(severity) {}

void DDASLLogger::logMessage(const DDLogMessage& message) {
    if (auto line = lineFor(message)) {
        syslog(LOG_USER | severity_, "%s", line->c_str());
    }
}

#include "ZedDevLogFormatter.h"

#include "DDLogTime.h"
#include "ZedLogWords.h"
#include "ZedPathComponents.h"

std::optional<std::string> ZedDevLogFormatter::formatLogMessage(const DDLogMessage& message) {
    return ZedLogWords::developerTag(message.logFlag) + " " +
           DDLogTime::format(message.timestamp, kDatePattern) + " - " +
           ZedPathComponents::lastComponent(message.file) + ":" +
           std::to_string(message.lineNumber) + "(" + message.function + ") - " + message.logMsg;
}

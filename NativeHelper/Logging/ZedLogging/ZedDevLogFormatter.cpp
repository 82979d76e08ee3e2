#include "Logging/ZedLogging/ZedDevLogFormatter.h"

#include "Categories/ZedPathComponents.h"
#include "Logging/ZedLogging/ZedLogWords.h"
#include "logging/DDLogTime.h"

std::optional<std::string> ZedDevLogFormatter::formatLogMessage(const DDLogMessage& message) {
    return ZedLogWords::developerTag(message.logFlag) + " " +
           DDLogTime::format(message.timestamp, kDatePattern) + " - " +
           ZedPathComponents::lastComponent(message.file) + ":" +
           std::to_string(message.lineNumber) + "(" + message.function + ") - " + message.logMsg;
}

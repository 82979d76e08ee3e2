#include "Logging/ZedLogging/ZedRestoreLogFormatter.h"

#include "Logging/ZedLogging/ZedLogWords.h"
#include "logging/DDLogTime.h"

std::optional<std::string> ZedRestoreLogFormatter::formatLogMessage(const DDLogMessage& message) {
    // AM and PM spelled out here: strftime would follow whatever locale the host process set.
    const bool afternoon = std::stoi(DDLogTime::format(message.timestamp, "%H")) >= 12;
    return ZedLogWords::restoreLetter(message.logLevel) + " " +
           DDLogTime::format(message.timestamp, kDatePattern) + (afternoon ? "PM" : "AM") + " " +
           message.logMsg;
}

#include "Logging/ZedLogging/ZedSupportLogFormatter.h"

#include "Categories/ZedPathComponents.h"
#include "Logging/ZedLogging/ZedLogWords.h"
#include "Logging/ZedLogging/ZedSystemConsole.h"
#include "logging/DDLogTime.h"

namespace {

constexpr std::size_t kQueueWidth = 22;
constexpr std::size_t kFileWidth = 22;
constexpr std::size_t kFunctionWidth = 30;

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Characters, not bytes: a UTF-8 sequence is never cut in two.
std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (const char byte : text) {
        count += isContinuationByte(byte) ? 0 : 1;
    }
    return count;
}

std::string lastCharacters(const std::string& text, std::size_t count) {
    std::size_t start = text.size();
    for (std::size_t taken = 0; start > 0 && taken < count;) {
        --start;
        if (!isContinuationByte(text[start])) {
            ++taken;
        }
    }
    return text.substr(start);
}

}  // namespace

std::optional<std::string> ZedSupportLogFormatter::formatLogField(const std::string& text,
                                                                  std::size_t length) {
    if (length == 0) {
        ZedSystemConsole::log("length is 0");
        return std::nullopt;
    }
    std::string field = text.empty() ? "-" : text;
    const std::size_t characters = characterCount(field);
    if (characters > length) {
        return lastCharacters(field, length);
    }
    field.append(length - characters, ' ');
    return field;
}

std::optional<std::string> ZedSupportLogFormatter::formatLogMessage(const DDLogMessage& message) {
    const auto& origin = message.queueLabel ? message.queueLabel : message.threadName;
    if (!origin) {
        return "unable to format log message, no queueLabel or threadName";
    }
    return "[" + DDLogTime::format(message.timestamp, kDatePattern) +
           ZedLogWords::supportWord(message.logFlag) + "\t" +
           ZedLogWords::categoryWord(message.logContext) + "\t" +
           *formatLogField(*origin, kQueueWidth) + "\t" +
           *formatLogField(ZedPathComponents::lastComponent(message.file), kFileWidth) + "\t" +
           *formatLogField(message.function, kFunctionWidth) + "] " + message.logMsg;
}

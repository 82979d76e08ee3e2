#include "Logging/ZedLogging/ZedSystemConsole.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "logging/DDWriteFully.h"

namespace ZedSystemConsole {

void log(const char* format, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    std::string line = std::string(program_invocation_short_name) + "[" +
                       std::to_string(::getpid()) + "] " + buffer + "\n";
    DDWriteFully(STDERR_FILENO, line);
}

}  // namespace ZedSystemConsole

#pragma once

// The system console: messages that must be seen even when no logger is installed, or that
// come from the logging machinery itself, go straight to standard error.
namespace ZedSystemConsole {
void log(const char* format, ...) __attribute__((format(printf, 1, 2)));
}

#pragma once

// Posts one message to the logging hub asynchronously, labelled with the library queue the
// caller runs on.
namespace ZedLogPost {
void post(int level, int flag, int context, const char* file, const char* function, int line,
          const char* format, ...) __attribute__((format(printf, 7, 8)));
}  // namespace ZedLogPost

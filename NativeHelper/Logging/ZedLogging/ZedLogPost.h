#pragma once

// Posts one message to the logging hub asynchronously. The record is filled here rather than by
// the hub: the hub's per-thread record has a destructor, and a thread that touches it holds the
// library loaded until that thread exits, which for a Java thread is for ever.
namespace ZedLogPost {
void post(int level, int flag, int context, const char* file, const char* function, int line,
          const char* format, ...) __attribute__((format(printf, 7, 8)));
}  // namespace ZedLogPost

#pragma once

#include <functional>

// Where a queue sends the blocks it lets start: the shared worker pool, or the one thread that
// serves the main queue.
class ZedDispatchExecutor {
  public:
    using Job = std::function<void()>;

    virtual ~ZedDispatchExecutor() = default;
    virtual void post(Job job) = 0;
};

#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <utility>

// The run loop of one thread: tasks posted from anywhere run on the thread that calls run(), in
// due-time order and, at equal times, in posting order. Event streams deliver through it.
class ZedRunLoop {
  public:
    using Task = std::function<void()>;
    using Clock = std::chrono::steady_clock;

    void perform(Task task);
    void performAfter(std::chrono::milliseconds delay, Task task);

    // Serves tasks until stop(); tasks still waiting then are dropped.
    void run();
    void stop();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::pair<Clock::time_point, std::uint64_t>, Task> tasks_;
    std::uint64_t posted_ = 0;
    bool stopped_ = false;
};

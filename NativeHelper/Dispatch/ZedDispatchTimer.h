#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

// Runs actions at their due time on one thread, started on the first schedule. Queues use it for
// run-after-delay: the action only hands the block to its queue.
class ZedDispatchTimer {
  public:
    using Clock = std::chrono::steady_clock;
    using Action = std::function<void()>;

    ZedDispatchTimer() = default;
    ~ZedDispatchTimer();
    ZedDispatchTimer(const ZedDispatchTimer&) = delete;
    ZedDispatchTimer& operator=(const ZedDispatchTimer&) = delete;

    void schedule(Clock::time_point due, Action action);

    // Runs every action still waiting at once (late work beats lost work), then joins the thread.
    void stop();
    bool isRunning();

  private:
    void serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::multimap<Clock::time_point, Action> actions_;
    std::thread thread_;
    bool stopping_ = false;
};

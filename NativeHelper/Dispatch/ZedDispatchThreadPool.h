#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <list>
#include <mutex>
#include <thread>

#include "Dispatch/ZedDispatchExecutor.h"

// Threads that run the blocks queues let start. A worker is started whenever a job arrives and no
// worker is idle, up to a ceiling: the shared pool has many, the thread serving the main queue is a
// pool of one. A worker left idle for the idle timeout ends, so a quiet service holds no threads
// it once needed for a burst. Synchronous work runs on its caller's thread, so pools only carry
// asynchronous blocks.
class ZedDispatchThreadPool : public ZedDispatchExecutor {
  public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds kIdleTimeout{30};

    ZedDispatchThreadPool(const char* threadName, std::size_t maximumWorkers,
                          std::chrono::milliseconds idleTimeout = kIdleTimeout);
    ~ZedDispatchThreadPool() override;
    ZedDispatchThreadPool(const ZedDispatchThreadPool&) = delete;
    ZedDispatchThreadPool& operator=(const ZedDispatchThreadPool&) = delete;

    void post(Job job) override;

    // Lets the workers run every pending job and end, and joins those that ended by the deadline.
    // Answers whether all did. A later post starts new workers.
    bool stop(Clock::time_point deadline);

    // Lets go of workers that are still busy (a block that never returns must not hold up the
    // process's exit); answers how many there were.
    std::size_t abandonBusyWorkers();

    // Workers not yet joined, ended ones included.
    std::size_t workerCount();

  private:
    struct Worker {
        std::thread thread;
        bool ended = false;
    };

    void work(Worker& self);
    // Takes the ended workers out of the list; their threads are joined by the caller, without
    // the lock.
    std::list<Worker> takeEndedWorkers();
    void joinEndedWorkers(std::unique_lock<std::mutex>& lock);

    const char* threadName_;
    const std::size_t maximumWorkers_;
    const std::chrono::milliseconds idleTimeout_;
    std::mutex mutex_;
    std::condition_variable jobsChanged_;
    std::condition_variable workerEnded_;
    std::deque<Job> jobs_;
    std::list<Worker> workers_;
    std::list<Worker> abandoned_;  // kept, as their threads still refer to them
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

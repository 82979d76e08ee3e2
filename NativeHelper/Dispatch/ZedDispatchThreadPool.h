#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "ZedDispatchExecutor.h"

// Threads that run the blocks queues let start. A worker is started whenever a job arrives and no
// worker is idle, up to a ceiling: the shared pool has many, the thread serving the main queue is a
// pool of one. Synchronous work runs on its caller's thread, so pools only carry asynchronous
// blocks.
class ZedDispatchThreadPool : public ZedDispatchExecutor {
  public:
    ZedDispatchThreadPool(const char* threadName, std::size_t maximumWorkers);
    ~ZedDispatchThreadPool() override;
    ZedDispatchThreadPool(const ZedDispatchThreadPool&) = delete;
    ZedDispatchThreadPool& operator=(const ZedDispatchThreadPool&) = delete;

    void post(Job job) override;

    // Runs every pending job, then joins all workers. A later post starts new ones.
    void stop();
    std::size_t workerCount();

  private:
    void work();

    const char* threadName_;
    const std::size_t maximumWorkers_;
    std::mutex mutex_;
    std::condition_variable jobsChanged_;
    std::deque<Job> jobs_;
    std::vector<std::thread> workers_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

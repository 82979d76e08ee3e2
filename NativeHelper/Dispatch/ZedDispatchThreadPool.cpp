#include "ZedDispatchThreadPool.h"

#include <pthread.h>

ZedDispatchThreadPool::ZedDispatchThreadPool(const char* threadName, std::size_t maximumWorkers)
    : threadName_(threadName), maximumWorkers_(maximumWorkers) {}

ZedDispatchThreadPool::~ZedDispatchThreadPool() {
    stop();
}

void ZedDispatchThreadPool::post(Job job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    if (jobs_.size() > idle_ && workers_.size() < maximumWorkers_) {
        workers_.emplace_back([this] { work(); });
    }
    jobsChanged_.notify_one();
}

void ZedDispatchThreadPool::work() {
    pthread_setname_np(pthread_self(), threadName_);
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        jobsChanged_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty()) {
            return;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        job = nullptr;  // whatever the job captured goes away outside the lock
        lock.lock();
    }
}

void ZedDispatchThreadPool::stop() {
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobsChanged_.notify_all();
        workers.swap(workers_);
    }
    for (auto& worker : workers) {
        worker.join();
    }
    std::lock_guard lock(mutex_);
    stopping_ = false;
}

std::size_t ZedDispatchThreadPool::workerCount() {
    std::lock_guard lock(mutex_);
    return workers_.size();
}

#include "Dispatch/ZedDispatchThreadPool.h"

#include <pthread.h>

#include <algorithm>

namespace {
constexpr std::chrono::seconds kDestructionPatience{10};
}  // namespace

ZedDispatchThreadPool::ZedDispatchThreadPool(const char* threadName, std::size_t maximumWorkers,
                                             std::chrono::milliseconds idleTimeout)
    : threadName_(threadName), maximumWorkers_(maximumWorkers), idleTimeout_(idleTimeout) {}

ZedDispatchThreadPool::~ZedDispatchThreadPool() {
    if (!stop(Clock::now() + kDestructionPatience)) {
        abandonBusyWorkers();
    }
}

void ZedDispatchThreadPool::post(Job job) {
    std::list<Worker> ended;
    {
        std::lock_guard lock(mutex_);
        ended = takeEndedWorkers();
        jobs_.push_back(std::move(job));
        if (jobs_.size() > idle_ && workers_.size() < maximumWorkers_) {
            Worker& worker = workers_.emplace_back();
            worker.thread = std::thread([this, &worker] { work(worker); });
        }
        jobsChanged_.notify_one();
    }
    for (auto& worker : ended) {
        worker.thread.join();
    }
}

void ZedDispatchThreadPool::work(Worker& self) {
    pthread_setname_np(pthread_self(), threadName_);
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        const bool woken = jobsChanged_.wait_for(lock, idleTimeout_,
                                                 [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (!woken || jobs_.empty()) {
            break;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        job = nullptr;  // whatever the job captured goes away outside the lock
        lock.lock();
    }
    self.ended = true;
    workerEnded_.notify_all();
}

std::list<ZedDispatchThreadPool::Worker> ZedDispatchThreadPool::takeEndedWorkers() {
    std::list<Worker> ended;
    for (auto it = workers_.begin(); it != workers_.end();) {
        auto next = std::next(it);
        if (it->ended) {
            ended.splice(ended.end(), workers_, it);
        }
        it = next;
    }
    return ended;
}

void ZedDispatchThreadPool::joinEndedWorkers(std::unique_lock<std::mutex>& lock) {
    std::list<Worker> ended = takeEndedWorkers();
    lock.unlock();
    for (auto& worker : ended) {
        worker.thread.join();
    }
    lock.lock();
}

bool ZedDispatchThreadPool::stop(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    jobsChanged_.notify_all();
    workerEnded_.wait_until(lock, deadline, [this] {
        return std::all_of(workers_.begin(), workers_.end(),
                           [](const Worker& worker) { return worker.ended; });
    });
    joinEndedWorkers(lock);
    if (!workers_.empty()) {
        return false;  // still stopping: the busy ones end once their job returns
    }
    stopping_ = false;
    return true;
}

std::size_t ZedDispatchThreadPool::abandonBusyWorkers() {
    std::unique_lock lock(mutex_);
    joinEndedWorkers(lock);
    const std::size_t busy = workers_.size();
    for (auto& worker : workers_) {
        worker.thread.detach();
    }
    abandoned_.splice(abandoned_.end(), workers_);
    return busy;
}

std::size_t ZedDispatchThreadPool::workerCount() {
    std::lock_guard lock(mutex_);
    return workers_.size();
}

#include "platform/events/ZedRunLoop.h"

void ZedRunLoop::perform(Task task) {
    performAfter(std::chrono::milliseconds(0), std::move(task));
}

void ZedRunLoop::performAfter(std::chrono::milliseconds delay, Task task) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_) {
            return;
        }
        tasks_.emplace(std::make_pair(Clock::now() + delay, posted_++), std::move(task));
    }
    changed_.notify_all();
}

void ZedRunLoop::run() {
    std::unique_lock lock(mutex_);
    while (!stopped_) {
        if (tasks_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto first = tasks_.begin();
        if (first->first.first > Clock::now()) {
            changed_.wait_until(lock, first->first.first);
            continue;
        }
        Task task = std::move(first->second);
        tasks_.erase(first);
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
    }
    tasks_.clear();
}

void ZedRunLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    changed_.notify_all();
}

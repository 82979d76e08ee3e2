#include "Dispatch/ZedDispatchTimer.h"

#include <pthread.h>

ZedDispatchTimer::~ZedDispatchTimer() {
    stop();
}

void ZedDispatchTimer::schedule(Clock::time_point due, Action action) {
    std::lock_guard lock(mutex_);
    actions_.emplace(due, std::move(action));
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread([this] { serve(); });
    }
    changed_.notify_all();
}

void ZedDispatchTimer::serve() {
    pthread_setname_np(pthread_self(), "vtnative-timer");
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (actions_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto due = actions_.begin()->first;
        if (Clock::now() < due) {
            changed_.wait_until(lock, due);
            continue;
        }
        Action action = std::move(actions_.begin()->second);
        actions_.erase(actions_.begin());
        lock.unlock();
        action();
        lock.lock();
    }
}

void ZedDispatchTimer::stop() {
    std::thread thread;
    std::multimap<Clock::time_point, Action> remaining;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
        thread.swap(thread_);
    }
    if (thread.joinable()) {
        thread.join();
    }
    {
        std::lock_guard lock(mutex_);
        remaining.swap(actions_);
    }
    for (auto& [due, action] : remaining) {
        action();
    }
}

bool ZedDispatchTimer::isRunning() {
    std::lock_guard lock(mutex_);
    return thread_.joinable() || !actions_.empty();
}

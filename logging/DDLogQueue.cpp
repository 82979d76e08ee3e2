#include "DDLogQueue.h"

#include <pthread.h>

#include "DDLogMessage.h"

namespace {
// The queue whose thread this is, so that a logger that logs never waits on its own queue.
thread_local const DDLogQueue* servingQueue = nullptr;
}  // namespace

DDLogQueue::DDLogQueue(const char* label, std::size_t capacity)
    : label_(label), capacity_(capacity) {}

DDLogQueue::~DDLogQueue() { stop(); }

bool DDLogQueue::isCurrent() const { return servingQueue == this; }

void DDLogQueue::startIfNeeded() {
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread([this] { serve(); });
    }
}

void DDLogQueue::post(Job job) {
    std::unique_lock lock(mutex_);
    if (!isCurrent()) {
        jobsChanged_.wait(lock, [this] { return jobs_.size() < capacity_; });
    }
    jobs_.push_back(std::move(job));
    startIfNeeded();
    jobsChanged_.notify_all();
}

void DDLogQueue::postAndWait(Job job) {
    if (isCurrent()) {
        job();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
    post([&] {
        job();
        std::lock_guard doneLock(doneMutex);
        done = true;
        doneChanged.notify_all();
    });
    std::unique_lock doneLock(doneMutex);
    doneChanged.wait(doneLock, [&] { return done; });
}

void DDLogQueue::drain() {
    if (isCurrent()) {
        return;
    }
    std::unique_lock lock(mutex_);
    jobsChanged_.wait(lock, [this] { return jobs_.empty() && !running_; });
}

void DDLogQueue::stop() {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable() || isCurrent()) {
        return;
    }
    stopping_ = true;
    jobsChanged_.notify_all();
    lock.unlock();
    thread_.join();
    lock.lock();
    thread_ = std::thread();
}

void DDLogQueue::serve() {
    pthread_setname_np(pthread_self(), "vt-logging");
    DDLogMessage::setCurrentQueueLabel(label_);
    servingQueue = this;
    std::unique_lock lock(mutex_);
    for (;;) {
        jobsChanged_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) {
            return;  // stopping, and everything posted has run
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = true;
        jobsChanged_.notify_all();
        lock.unlock();
        job();
        lock.lock();
        running_ = false;
        jobsChanged_.notify_all();
    }
}

#include "DDLogQueue.h"

#include <pthread.h>

#include "DDLogMessage.h"

namespace {
// The queue whose thread this is, so that a logger that logs never waits on its own queue.
thread_local const DDLogQueue* servingQueue = nullptr;
}  // namespace

DDLogQueue::DDLogQueue(const char* label, std::size_t capacity, Job onIdle)
    : label_(label), capacity_(capacity), onIdle_(std::move(onIdle)) {}

DDLogQueue::~DDLogQueue() {
    stop();
}

bool DDLogQueue::isCurrent() const {
    return servingQueue == this;
}

void DDLogQueue::startIfNeeded() {
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread([this] { serve(); });
    }
}

void DDLogQueue::post(Job job) {
    std::unique_lock lock(mutex_);
    if (!isCurrent()) {
        while (jobs_.size() >= capacity_) {
            ++waiters_;
            roomOrIdle_.wait(lock);
            --waiters_;
        }
    }
    jobs_.push_back(std::move(job));
    startIfNeeded();
    if (threadWaiting_) {
        workArrived_.notify_one();
    }
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
    while (!isIdle()) {
        ++waiters_;
        roomOrIdle_.wait(lock);
        --waiters_;
    }
}

void DDLogQueue::stop() {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable() || isCurrent()) {
        return;
    }
    stopping_ = true;
    workArrived_.notify_one();
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
        if (jobs_.empty()) {
            if (idleWorkDue_) {
                idleWorkDue_ = false;
                if (onIdle_) {
                    busy_ = true;
                    lock.unlock();
                    onIdle_();
                    lock.lock();
                    busy_ = false;
                }
                continue;
            }
            if (waiters_ > 0) {
                roomOrIdle_.notify_all();
            }
            if (stopping_) {
                return;  // everything posted has run
            }
            threadWaiting_ = true;
            workArrived_.wait(lock);
            threadWaiting_ = false;
            continue;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        idleWorkDue_ = true;
        if (waiters_ > 0) {
            roomOrIdle_.notify_all();
        }
        lock.unlock();
        job();
        lock.lock();
        busy_ = false;
    }
}

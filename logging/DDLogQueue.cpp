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

// Not while a stop waits for the thread: the next one starts when the stop is done.
void DDLogQueue::startIfNeeded() {
    if (!thread_.joinable() && !stopping_) {
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
    ++posted_;
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
    if (!thread_.joinable() || isCurrent() || stopping_) {
        return;
    }
    stopping_ = true;
    stopAt_ = posted_;
    std::thread ending = std::move(thread_);
    workArrived_.notify_one();
    lock.unlock();
    ending.join();
    lock.lock();
    stopping_ = false;
    // Posted while it stopped: a poster may be waiting for its job to run.
    if (!jobs_.empty()) {
        startIfNeeded();
    }
}

void DDLogQueue::serve() {
    pthread_setname_np(pthread_self(), "vt-logging");
    DDLogMessage::setCurrentQueueLabel(label_);
    servingQueue = this;
    std::unique_lock lock(mutex_);
    for (;;) {
        const bool stopNow = stopping_ && ran_ >= stopAt_;
        if (jobs_.empty() || stopNow) {
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
                return;  // everything posted before the stop has run
            }
            threadWaiting_ = true;
            workArrived_.wait(lock);
            threadWaiting_ = false;
            continue;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        ++ran_;
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

#include "DDLogQueue.h"

#include <pthread.h>

#include <algorithm>

namespace {

// The queue whose thread this is, so that a logger that logs never waits on its own queue.
thread_local const DDLogQueue* servingQueue = nullptr;

// A record that once held a very long text gives that storage back after use.
constexpr std::size_t kKeptTextBytes = 4096;

}  // namespace

DDLogQueue::DDLogQueue(const char* label, std::size_t capacity, Deliver deliver, Job onIdle)
    : label_(label),
      capacity_(capacity),
      deliver_(std::move(deliver)),
      onIdle_(std::move(onIdle)) {}

DDLogQueue::~DDLogQueue() {
    stop();
}

bool DDLogQueue::isCurrent() const {
    return servingQueue == this;
}

// Not while a stop waits for the thread: the next one starts when the stop is done.
void DDLogQueue::startIfNeeded() {
    if (!thread_.joinable() && !stopping_) {
        state_ = ThreadState::Running;
        thread_ = std::thread([this] { serve(); });
    }
}

DDLogQueue::Entry& DDLogQueue::reserve(std::unique_lock<std::mutex>& lock) {
    if (!isCurrent()) {
        while (pending() >= capacity_) {
            roomWaiters_.fetch_add(1, std::memory_order_relaxed);
            if (state_ != ThreadState::Running) {
                workArrived_.notify_one();
            }
            progress_.wait(lock);
            roomWaiters_.fetch_sub(1, std::memory_order_relaxed);
        }
    }
    if (incomingCount_ == incoming_.size()) {
        incoming_.emplace_back();
    }
    return incoming_[incomingCount_];
}

void DDLogQueue::commit(std::unique_lock<std::mutex>& lock, bool wait) {
    ++incomingCount_;
    const std::uint64_t ticket = ++posted_;
    startIfNeeded();
    // A lingering thread comes back by itself within kLinger; it is woken early only for a
    // poster that waits or when enough has piled up that posters would soon run out of room.
    if (state_ == ThreadState::Asleep ||
        (state_ == ThreadState::Lingering && (wait || incomingCount_ >= capacity_ / 4))) {
        workArrived_.notify_one();
    }
    if (!wait) {
        return;
    }
    doneWaiters_.fetch_add(1, std::memory_order_relaxed);
    while (done_.load(std::memory_order_acquire) < ticket) {
        progress_.wait(lock);
    }
    doneWaiters_.fetch_sub(1, std::memory_order_relaxed);
}

void DDLogQueue::post(Job job) {
    std::unique_lock lock(mutex_);
    reserve(lock).job = std::move(job);
    commit(lock, false);
}

void DDLogQueue::postAndWait(Job job) {
    if (isCurrent()) {
        job();
        return;
    }
    std::unique_lock lock(mutex_);
    reserve(lock).job = std::move(job);
    commit(lock, true);
}

void DDLogQueue::drain() {
    if (isCurrent()) {
        return;
    }
    std::unique_lock lock(mutex_);
    ++drainers_;
    while (!isIdle()) {
        if (state_ == ThreadState::Lingering) {
            workArrived_.notify_one();
        }
        progress_.wait(lock);
    }
    --drainers_;
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
    // Posted while it stopped: a poster may be waiting for its record to be handled.
    if (incomingCount_ > 0) {
        startIfNeeded();
    }
}

void DDLogQueue::runBatch(std::unique_lock<std::mutex>& lock) {
    std::swap(incoming_, batch_);
    taken_ = incomingCount_;
    takenTotal_ += taken_;
    incomingCount_ = 0;
    started_.store(0, std::memory_order_relaxed);
    busy_ = true;
    idleWorkDue_ = true;
    const std::size_t count = taken_;
    // Posters waiting for room are woken each time a quarter of the queue has been started,
    // not after every record: posters woken per record spend more time waking than logging.
    const std::size_t roomNotice = std::max<std::size_t>(capacity_ / 4, 1);
    lock.unlock();
    for (std::size_t i = 0; i < count; ++i) {
        Entry& entry = batch_[i];
        started_.store(i + 1, std::memory_order_release);  // a running record is not pending
        if (entry.job) {
            entry.job();
            entry.job = nullptr;
        } else {
            deliver_(entry.message);
            if (entry.message.logMsg.capacity() > kKeptTextBytes) {
                std::string().swap(entry.message.logMsg);
            }
        }
        done_.fetch_add(1, std::memory_order_release);
        if (doneWaiters_.load(std::memory_order_relaxed) > 0 ||
            (roomWaiters_.load(std::memory_order_relaxed) > 0 && (i + 1) % roomNotice == 0)) {
            // Taking the lock first means a waiter between its check and its wait hears this.
            { std::lock_guard noticeLock(mutex_); }
            progress_.notify_all();
        }
    }
    lock.lock();
    taken_ = 0;
    started_.store(0, std::memory_order_relaxed);
    busy_ = false;
    if (someoneWaits()) {
        progress_.notify_all();
    }
}

void DDLogQueue::runIdleWork(std::unique_lock<std::mutex>& lock) {
    idleWorkDue_ = false;
    if (onIdle_) {
        busy_ = true;
        lock.unlock();
        onIdle_();
        lock.lock();
        busy_ = false;
    }
    if (drainers_ > 0) {
        progress_.notify_all();
    }
}

void DDLogQueue::serve() {
    pthread_setname_np(pthread_self(), "vt-logging");
    DDLogMessage::setCurrentQueueLabel(label_);
    servingQueue = this;
    std::unique_lock lock(mutex_);
    bool lingered = false;  // since the idle work last ran
    for (;;) {
        const bool stopNow = stopping_ && takenTotal_ >= stopAt_;
        if (incomingCount_ > 0 && !stopNow) {
            runBatch(lock);
            continue;
        }
        if (idleWorkDue_) {
            if (!lingered && !someoneWaits()) {
                lingered = true;
                state_ = ThreadState::Lingering;
                workArrived_.wait_for(lock, kLinger);
                state_ = ThreadState::Running;
                continue;
            }
            runIdleWork(lock);
            lingered = false;
            continue;
        }
        if (stopping_) {
            return;  // everything posted before the stop has run
        }
        state_ = ThreadState::Asleep;
        workArrived_.wait(lock);
        state_ = ThreadState::Running;
    }
}

#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "DDLogMessage.h"

// A bounded serial queue of log messages (and of the odd job, such as registering a logger),
// served by one thread that is started on the first post. It keeps the hub's ordering and
// back-pressure rules apart from what the hub does with a message.
//
// Posting is meant to cost next to nothing: a message is written into a record the queue
// keeps and reuses (so a warm queue allocates nothing per message), the queue's thread takes
// everything pending in one go, and a poster wakes that thread only when it is asleep, not
// while it is briefly lingering for more after running out of work.
class DDLogQueue {
  public:
    using Job = std::function<void()>;
    using Deliver = std::function<void(const DDLogMessage&)>;

    // `deliver` runs on the queue's thread for every message. `onIdle` runs there whenever it
    // has run out of work (the hub lets its loggers write out what they buffered then).
    DDLogQueue(const char* label, std::size_t capacity, Deliver deliver, Job onIdle);
    ~DDLogQueue();
    DDLogQueue(const DDLogQueue&) = delete;
    DDLogQueue& operator=(const DDLogQueue&) = delete;

    // Waits while `capacity` messages and jobs are pending (unless called from the queue's own
    // thread, which must never wait on itself), then queues a message that `fill` writes into
    // the record it is given. A synchronous post returns once the message was delivered; on
    // the queue's own thread it is delivered in place.
    template <typename Fill>
    void postMessage(Fill&& fill, bool asynchronous) {
        if (!asynchronous && isCurrent()) {
            DDLogMessage message;
            fill(message);
            deliver_(message);
            return;
        }
        std::unique_lock lock(mutex_);
        Entry& entry = reserve(lock);
        fill(entry.message);
        commit(lock, !asynchronous);
    }

    // Waits for room as a message does, then queues the job.
    void post(Job job);
    // Runs the job on the queue and returns once it ran; runs it in place on the queue's thread.
    void postAndWait(Job job);
    // Returns once everything posted before it has run and the idle work is done.
    void drain();
    // Runs what was posted before the call (and the idle work), then stops and joins the
    // thread. Posts that keep coming meanwhile do not hold it up; they run when the next post
    // starts the thread again.
    void stop();

    bool isCurrent() const;

  private:
    // A pending message, or a job when `job` is set.
    struct Entry {
        DDLogMessage message;
        Job job;
    };
    enum class ThreadState { Running, Lingering, Asleep };

    // How long the queue's thread waits for more work before it does the idle work and
    // sleeps: long enough that a steady stream of posts needs no wake-up per message, short
    // enough that a line reaches its file at once for anyone watching it.
    static constexpr std::chrono::milliseconds kLinger{1};

    // With mutex_ held: waits for room, then gives the next free record (one without a job).
    Entry& reserve(std::unique_lock<std::mutex>& lock);
    // With mutex_ held: publishes the reserved record, wakes the thread if it needs waking,
    // and for a synchronous post waits until the record has been handled.
    void commit(std::unique_lock<std::mutex>& lock, bool wait);
    void startIfNeeded();  // with mutex_ held
    void serve();
    void runBatch(std::unique_lock<std::mutex>& lock);
    void runIdleWork(std::unique_lock<std::mutex>& lock);
    // Pending = queued, plus taken by the thread and not yet started.
    std::size_t pending() const {
        return incomingCount_ + taken_ - started_.load(std::memory_order_acquire);
    }
    bool isIdle() const { return incomingCount_ == 0 && !busy_ && !idleWorkDue_; }
    bool someoneWaits() const {
        return drainers_ > 0 || stopping_ || roomWaiters_.load(std::memory_order_relaxed) > 0 ||
               doneWaiters_.load(std::memory_order_relaxed) > 0;
    }

    const char* label_;
    const std::size_t capacity_;
    const Deliver deliver_;
    const Job onIdle_;
    std::mutex mutex_;
    std::condition_variable workArrived_;  // the queue's thread waits here
    std::condition_variable progress_;     // posters and drainers wait here
    // Posters fill `incoming_`; the thread swaps it with `batch_` and runs that without the
    // lock. Records keep their storage from one use to the next: only the counts say how many
    // are live.
    std::vector<Entry> incoming_;
    std::size_t incomingCount_ = 0;
    std::vector<Entry> batch_;
    std::size_t taken_ = 0;                    // records in batch_ (with mutex_)
    std::atomic<std::size_t> started_{0};      // of those, started by the thread
    std::uint64_t posted_ = 0;                 // records ever posted
    std::atomic<std::uint64_t> done_{0};       // records ever handled
    std::uint64_t stopAt_ = 0;                 // posted_ when stop() was called
    std::uint64_t takenTotal_ = 0;             // records ever taken into a batch
    std::atomic<std::size_t> roomWaiters_{0};  // posters waiting for room
    std::atomic<std::size_t> doneWaiters_{0};  // synchronous posters waiting for their record
    std::size_t drainers_ = 0;
    ThreadState state_ = ThreadState::Running;
    bool busy_ = false;         // a batch or the idle work runs outside the lock
    bool idleWorkDue_ = false;  // work ran since the idle work last ran
    bool stopping_ = false;
    std::thread thread_;
};

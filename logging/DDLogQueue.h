#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A bounded serial queue served by one thread that is started on the first post. It keeps
// the hub's ordering and back-pressure rules apart from what the hub does with a message.
class DDLogQueue {
  public:
    using Job = std::function<void()>;

    // `onIdle` runs on the queue's thread whenever it has run out of jobs (the hub lets its
    // loggers write out what they buffered then).
    DDLogQueue(const char* label, std::size_t capacity, Job onIdle = {});
    ~DDLogQueue();
    DDLogQueue(const DDLogQueue&) = delete;
    DDLogQueue& operator=(const DDLogQueue&) = delete;

    // Waits while `capacity` jobs are pending (unless called from the queue's own thread,
    // which must never wait on itself), then queues the job.
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
    void startIfNeeded();  // with mutex_ held
    void serve();
    bool isIdle() const { return jobs_.empty() && !busy_ && !idleWorkDue_; }

    const char* label_;
    const std::size_t capacity_;
    const Job onIdle_;
    std::mutex mutex_;
    std::condition_variable workArrived_;  // the queue's thread waits here
    std::condition_variable roomOrIdle_;   // posters and drainers wait here
    std::deque<Job> jobs_;
    std::size_t waiters_ = 0;     // posters and drainers waiting on roomOrIdle_
    bool threadWaiting_ = false;  // the queue's thread waits on workArrived_
    bool busy_ = false;           // a job or the idle work runs outside the lock
    bool idleWorkDue_ = false;    // jobs ran since the idle work last ran
    bool stopping_ = false;
    std::uint64_t posted_ = 0;  // jobs ever posted
    std::uint64_t ran_ = 0;     // jobs ever taken to run
    std::uint64_t stopAt_ = 0;  // posted_ when stop() was called
    std::thread thread_;
};

#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A bounded serial queue served by one thread that is started on the first post. It keeps
// the hub's ordering and back-pressure rules apart from what the hub does with a message.
class DDLogQueue {
public:
    using Job = std::function<void()>;

    DDLogQueue(const char* label, std::size_t capacity);
    ~DDLogQueue();
    DDLogQueue(const DDLogQueue&) = delete;
    DDLogQueue& operator=(const DDLogQueue&) = delete;

    // Waits while `capacity` jobs are pending (unless called from the queue's own thread,
    // which must never wait on itself), then queues the job.
    void post(Job job);
    // Runs the job on the queue and returns once it ran; runs it in place on the queue's thread.
    void postAndWait(Job job);
    // Returns once everything posted before it has run.
    void drain();
    // Drains, then stops and joins the thread.
    void stop();

    bool isCurrent() const;

private:
    void startIfNeeded();  // with mutex_ held
    void serve();

    const char* label_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable jobsChanged_;
    std::deque<Job> jobs_;
    bool running_ = false;  // a job is being run outside the lock
    bool stopping_ = false;
    std::thread thread_;
};

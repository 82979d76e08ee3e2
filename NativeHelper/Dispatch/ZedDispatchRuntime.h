#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "Dispatch/ZedDispatchThreadPool.h"
#include "Dispatch/ZedDispatchTimer.h"

class ZedDispatchQueue;

// The threads behind every queue of the library: the shared worker pool, the thread that serves
// the main queue (a Java process has no main run loop of ours to borrow) and the delay timer.
// All start on demand; shutdown stops them so that nothing outlives the library.
class ZedDispatchRuntime {
  public:
    static constexpr const char* kMainQueueLabel = "com.zedcorp.vtnative.main";

    static ZedDispatchRuntime& shared();
    // False once the process's exit has destroyed the shared runtime: the unload hook may run
    // after static destructors when the host exits without unloading the library.
    static bool sharedIsAlive();

    ZedDispatchThreadPool& pool() { return pool_; }
    ZedDispatchTimer& timer() { return timer_; }
    const std::shared_ptr<ZedDispatchQueue>& mainQueue();

    // Runs `job` on a pool thread, outside every queue, once `delay` has passed: for work that
    // enters a queue itself and must let go of what it holds outside it.
    void runAfter(std::chrono::milliseconds delay, ZedDispatchExecutor::Job job);

    // Lets every queued and delayed block run, then joins every thread; a thread whose block has
    // not returned within ten seconds is left running. Blocks posted later start threads again,
    // so call this only where no more work can arrive (the library's unloading).
    void shutdown();

  private:
    ZedDispatchRuntime();
    ~ZedDispatchRuntime();

    ZedDispatchThreadPool pool_;
    ZedDispatchThreadPool mainThread_;
    ZedDispatchTimer timer_;
    std::once_flag mainQueueOnce_;
    std::shared_ptr<ZedDispatchQueue> mainQueue_;
};

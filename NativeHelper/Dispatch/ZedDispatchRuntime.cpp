#include "Dispatch/ZedDispatchRuntime.h"

#include "Dispatch/ZedDispatchQueue.h"
#include "Logging/ZedLogging/ZedSystemConsole.h"

namespace {
constexpr std::size_t kMaximumPoolWorkers = 64;
constexpr std::chrono::seconds kShutdownPatience{10};
bool sharedDestroyed = false;
}  // namespace

ZedDispatchRuntime& ZedDispatchRuntime::shared() {
    static ZedDispatchRuntime runtime;
    return runtime;
}

ZedDispatchRuntime::ZedDispatchRuntime()
    : pool_("vtnative-worker", kMaximumPoolWorkers), mainThread_("vtnative-main", 1) {}

ZedDispatchRuntime::~ZedDispatchRuntime() {
    shutdown();
    sharedDestroyed = true;
}

bool ZedDispatchRuntime::sharedIsAlive() {
    return !sharedDestroyed;
}

const std::shared_ptr<ZedDispatchQueue>& ZedDispatchRuntime::mainQueue() {
    std::call_once(mainQueueOnce_, [this] {
        mainQueue_ = ZedDispatchQueue::createOn(kMainQueueLabel, mainThread_);
    });
    return mainQueue_;
}

void ZedDispatchRuntime::runAfter(std::chrono::milliseconds delay, ZedDispatchExecutor::Job job) {
    timer_.schedule(ZedDispatchTimer::Clock::now() + delay,
                    [this, job = std::move(job)]() mutable { pool_.post(std::move(job)); });
}

void ZedDispatchRuntime::shutdown() {
    // Work on one thread may hand work to another, so go round until all are quiet. A block that
    // never returns (a callback stuck in its host during the host's exit) must not hang the
    // process, so the round ends at a deadline and such workers are left to the process.
    const auto deadline = ZedDispatchThreadPool::Clock::now() + kShutdownPatience;
    do {
        timer_.stop();
        mainThread_.stop(deadline);
        pool_.stop(deadline);
    } while ((timer_.isRunning() || mainThread_.workerCount() > 0 || pool_.workerCount() > 0) &&
             ZedDispatchThreadPool::Clock::now() < deadline);
    const std::size_t busy = mainThread_.abandonBusyWorkers() + pool_.abandonBusyWorkers();
    if (busy > 0) {
        ZedSystemConsole::log("%zu library threads still busy after %lld seconds; leaving them",
                              busy, static_cast<long long>(kShutdownPatience.count()));
    }
}

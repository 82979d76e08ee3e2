#include "ZedDispatchRuntime.h"

#include "ZedDispatchQueue.h"

namespace {
constexpr std::size_t kMaximumPoolWorkers = 64;
}  // namespace

ZedDispatchRuntime& ZedDispatchRuntime::shared() {
    static ZedDispatchRuntime runtime;
    return runtime;
}

ZedDispatchRuntime::ZedDispatchRuntime()
    : pool_("vtnative-worker", kMaximumPoolWorkers), mainThread_("vtnative-main", 1) {}

ZedDispatchRuntime::~ZedDispatchRuntime() {
    shutdown();
}

const std::shared_ptr<ZedDispatchQueue>& ZedDispatchRuntime::mainQueue() {
    std::call_once(mainQueueOnce_, [this] {
        mainQueue_ = ZedDispatchQueue::createOn(kMainQueueLabel, mainThread_);
    });
    return mainQueue_;
}

void ZedDispatchRuntime::shutdown() {
    // Work on one thread may hand work to another, so go round until all are quiet.
    do {
        timer_.stop();
        mainThread_.stop();
        pool_.stop();
    } while (timer_.isRunning() || mainThread_.workerCount() > 0 || pool_.workerCount() > 0);
}

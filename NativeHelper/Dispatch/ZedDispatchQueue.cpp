#include "Dispatch/ZedDispatchQueue.h"

#include <condition_variable>
#include <exception>

#include "Dispatch/ZedDispatchRuntime.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "logging/DDLogMessage.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
// The blocks the calling thread runs, innermost first: a synchronous call from inside a block
// runs its own block on the same thread, inside the first.
struct Running {
    ZedDispatchQueue* queue;
    const Running* outer;
};
thread_local const Running* innermost = nullptr;
}  // namespace

// Lets a synchronous caller know that its turn has come.
struct ZedDispatchQueue::Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
};

std::shared_ptr<ZedDispatchQueue> ZedDispatchQueue::create(std::string label,
                                                           ZedDispatchQueueKind kind) {
    return std::shared_ptr<ZedDispatchQueue>(
        new ZedDispatchQueue(std::move(label), kind, ZedDispatchRuntime::shared().pool()));
}

std::shared_ptr<ZedDispatchQueue> ZedDispatchQueue::createOn(std::string label,
                                                             ZedDispatchExecutor& executor) {
    return std::shared_ptr<ZedDispatchQueue>(
        new ZedDispatchQueue(std::move(label), ZedDispatchQueueKind::serial, executor));
}

ZedDispatchQueue::ZedDispatchQueue(std::string label, ZedDispatchQueueKind kind,
                                   ZedDispatchExecutor& executor)
    : label_(std::move(label)), kind_(kind), executor_(executor) {}

ZedDispatchQueue* ZedDispatchQueue::current() {
    return innermost ? innermost->queue : nullptr;
}

void* ZedDispatchQueue::getCurrentSpecific(const void* key) {
    return innermost ? innermost->queue->getSpecific(key) : nullptr;
}

bool ZedDispatchQueue::isRunningOnCallingThread() const {
    for (const Running* running = innermost; running; running = running->outer) {
        if (running->queue == this) {
            return true;
        }
    }
    return false;
}

void ZedDispatchQueue::setSpecific(const void* key, void* value) {
    std::lock_guard lock(specificsMutex_);
    if (value) {
        specifics_[key] = value;
    } else {
        specifics_.erase(key);
    }
}

void* ZedDispatchQueue::getSpecific(const void* key) const {
    std::lock_guard lock(specificsMutex_);
    const auto found = specifics_.find(key);
    return found == specifics_.end() ? nullptr : found->second;
}

void ZedDispatchQueue::async(Block block) {
    enqueue({std::move(block), false, nullptr});
}

void ZedDispatchQueue::barrierAsync(Block block) {
    enqueue({std::move(block), true, nullptr});
}

void ZedDispatchQueue::sync(const Block& block) {
    syncItem(block, false);
}

void ZedDispatchQueue::barrierSync(const Block& block) {
    syncItem(block, true);
}

void ZedDispatchQueue::after(std::chrono::milliseconds delay, Block block) {
    ZedDispatchRuntime::shared().timer().schedule(
        ZedDispatchTimer::Clock::now() + delay,
        [queue = shared_from_this(), block = std::move(block)]() mutable {
            queue->async(std::move(block));
        });
}

void ZedDispatchQueue::syncItem(const Block& block, bool barrier) {
    // The owner may let go of the queue while this caller waits or runs: the queue stays until
    // the caller is done with it.
    const std::shared_ptr<ZedDispatchQueue> keepAlive = shared_from_this();
    auto gate = std::make_shared<Gate>();
    enqueue({nullptr, barrier, gate});
    {
        std::unique_lock lock(gate->mutex);
        gate->opened.wait(lock, [&gate] { return gate->open; });
    }
    // Finish the item even when the block throws, or the queue would stay blocked for good.
    struct Finisher {
        ZedDispatchQueue* queue;
        bool barrier;
        ~Finisher() { queue->finished(barrier); }
    } finisher{this, barrier};
    runHere(block);
}

void ZedDispatchQueue::runHere(const Block& block) {
    struct Scope {
        Running running;
        explicit Scope(ZedDispatchQueue* queue) : running{queue, innermost} {
            innermost = &running;
            DDLogMessage::setCurrentQueueLabel(queue->label_.c_str());
        }
        ~Scope() {
            innermost = running.outer;
            DDLogMessage::setCurrentQueueLabel(innermost ? innermost->queue->label_.c_str()
                                                         : nullptr);
        }
    } scope(this);
    block();
}

void ZedDispatchQueue::runAsynchronous(const Block& block) {
    // Nobody waits for an asynchronous block, so what it throws ends here, logged.
    try {
        runHere(block);
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "block on queue (%s) threw: %s",
                    label_.c_str(), exception.what());
    } catch (...) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "block on queue (%s) threw", label_.c_str());
    }
}

void ZedDispatchQueue::enqueue(Item item) {
    std::unique_lock lock(mutex_);
    pending_.push_back(std::move(item));
    startWhatMayStart(lock);
}

void ZedDispatchQueue::startWhatMayStart(std::unique_lock<std::mutex>&) {
    const std::size_t width = kind_ == ZedDispatchQueueKind::serial ? 1 : SIZE_MAX;
    while (!pending_.empty() && !barrierRunning_) {
        Item& next = pending_.front();
        if (next.barrier ? running_ > 0 : running_ >= width) {
            return;
        }
        ++running_;
        barrierRunning_ = next.barrier;
        Item item = std::move(next);
        pending_.pop_front();
        if (item.gate) {
            std::lock_guard gateLock(item.gate->mutex);
            item.gate->open = true;
            item.gate->opened.notify_all();
            continue;
        }
        executor_.post([queue = shared_from_this(), item = std::move(item)] {
            queue->runAsynchronous(item.block);
            queue->finished(item.barrier);
        });
    }
}

void ZedDispatchQueue::finished(bool barrier) {
    std::unique_lock lock(mutex_);
    --running_;
    if (barrier) {
        barrierRunning_ = false;
    }
    startWhatMayStart(lock);
}

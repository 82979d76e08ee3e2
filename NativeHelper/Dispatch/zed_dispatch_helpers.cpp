#include "Dispatch/zed_dispatch_helpers.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <optional>
#include <string>

#include "Dispatch/ZedDispatchException.h"
#include "Dispatch/ZedDispatchRuntime.h"
#include "Logging/ZedLogging/ZedLog.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
const char kQueueIdentityKey = 0;
constexpr const char* kNoKeyReason =
    "Unable to compare queues, no key set for the input queue. Was the queue created with "
    "\"zed_dispatch_queue_create()\"?";

ZedDispatchQueue* markedMainQueue() {
    static std::once_flag marked;
    ZedDispatchQueue* main = ZedDispatchRuntime::shared().mainQueue().get();
    std::call_once(marked, [main] { main->setSpecific(&kQueueIdentityKey, main); });
    return main;
}

void* currentMarking() {
    markedMainQueue();
    return ZedDispatchQueue::getCurrentSpecific(&kQueueIdentityKey);
}

ZedDispatchException unmarkedQueueException() {
    ZedLogError(kLogMask, ZedLogContextPlatform, "%s", kNoKeyReason);
    return ZedDispatchException(ZedDispatchException::kQueueException, kNoKeyReason);
}

bool argumentsPresent(const ZedDispatchQueue* queue, const zed::DispatchBlock& block) {
    if (!queue) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "queue is nil");
        return false;
    }
    if (!block) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "block is nil");
        return false;
    }
    return true;
}

}  // namespace

namespace zed {

const void* dispatch_queue_identity_key() {
    return &kQueueIdentityKey;
}

std::string dispatch_queue_label(const char* className, const char* role, const void* owner) {
    char label[160];
    std::snprintf(label, sizeof label, "com.zedcorp.nativehelper.%s.%s.%p", className, role, owner);
    return label;
}

std::shared_ptr<ZedDispatchQueue> dispatch_queue_create(const char* label,
                                                        ZedDispatchQueueKind kind) {
    std::shared_ptr<ZedDispatchQueue> queue;
    try {
        queue = ZedDispatchQueue::create(label ? label : "", kind);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    queue->setSpecific(&kQueueIdentityKey, queue.get());
    return queue;
}

bool dispatch_is_current_queue_equal_to_queue(ZedDispatchQueue* queue) {
    markedMainQueue();
    void* marking = queue ? queue->getSpecific(&kQueueIdentityKey) : nullptr;
    if (!marking) {
        throw unmarkedQueueException();
    }
    return marking == currentMarking();
}

void dispatch_sync_to_queue(ZedDispatchQueue* queue, const DispatchBlock& block) {
    if (!argumentsPresent(queue, block)) {
        return;
    }
    if (dispatch_is_current_queue_equal_to_queue(queue)) {
        block();
        return;
    }
    queue->sync(block);
}

void dispatch_attempt_barrier_sync_to_queue(ZedDispatchQueue* queue, const DispatchBlock& block) {
    if (!argumentsPresent(queue, block)) {
        return;
    }
    if (dispatch_is_current_queue_equal_to_queue(queue)) {
        const std::string reason =
            "attempting to execute a barrier block but we're already on the target queue: (" +
            queue->label() + ").";
        ZedLogError(kLogMask, ZedLogContextPlatform, "%s", reason.c_str());
        throw ZedDispatchException(ZedDispatchException::kBarrierBlockException, reason);
    }
    queue->barrierSync(block);
}

void dispatch_async_to_main(DispatchBlock block) {
    if (!block) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "block is nil");
        return;
    }
    ZedDispatchRuntime::shared().mainQueue()->async(std::move(block));
}

void dispatch_sync_to_main(const DispatchBlock& block) {
    dispatch_sync_to_queue(markedMainQueue(), block);
}

void dispatch_verify_using_queue(ZedDispatchQueue* queue) {
    if (!queue) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "queue is nil");
        throw ZedDispatchException(ZedDispatchException::kQueueException, "Queue does not exist");
    }
    std::optional<ZedDispatchException> prepared;
    void* marking = queue->getSpecific(&kQueueIdentityKey);
    if (!marking) {
        prepared = unmarkedQueueException();
    }
    if (marking != currentMarking()) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "not using correct queue");
        const ZedDispatchQueue* current = ZedDispatchQueue::current();
        prepared = ZedDispatchException(
            ZedDispatchException::kQueueException,
            "Accessing method outside of its queue. Expected queue (" + queue->label() +
                ") actual queue (" + (current ? current->label() : std::string("none")) + ")");
    }
    if (prepared) {
        throw *prepared;
    }
}

}  // namespace zed

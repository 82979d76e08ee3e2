// The queue helpers as C functions: the exceptions the helpers raise stop here, logged.
#include <exception>
#include <memory>
#include <new>

#include "Dispatch/ZedDispatchException.h"
#include "Dispatch/zed_dispatch_helpers.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "include/vtnative.h"

struct zed_dispatch_queue_s {
    std::shared_ptr<ZedDispatchQueue> queue;
};

namespace {

constexpr int kLogMask = ZedLogMaskInfo;

// The caller's own reference for the length of the call: the handle may be released while the
// call waits.
std::shared_ptr<ZedDispatchQueue> queueOf(zed_dispatch_queue_t handle) {
    return handle ? handle->queue : nullptr;
}

zed::DispatchBlock blockOf(zed_dispatch_block_t block, void* context) {
    if (!block) {
        return nullptr;
    }
    return [block, context] { block(context); };
}

template <typename Body>
auto guarded(const char* function, Body body, decltype(body()) failed) noexcept {
    try {
        return body();
    } catch (const ZedDispatchException&) {
        // the helper logged it before raising
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "%s: %s", function, exception.what());
    } catch (...) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "%s failed", function);
    }
    return failed;
}

}  // namespace

extern "C" {

zed_dispatch_queue_t zed_dispatch_queue_create(const char* label,
                                               zed_dispatch_queue_attr_t attributes) {
    if (attributes != ZED_DISPATCH_QUEUE_SERIAL && attributes != ZED_DISPATCH_QUEUE_CONCURRENT) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unknown queue attributes: (%d)", attributes);
        return nullptr;
    }
    return guarded(
        __func__,
        [&]() -> zed_dispatch_queue_t {
            auto queue = zed::dispatch_queue_create(label, attributes == ZED_DISPATCH_QUEUE_SERIAL
                                                               ? ZedDispatchQueueKind::serial
                                                               : ZedDispatchQueueKind::concurrent);
            return queue ? new (std::nothrow) zed_dispatch_queue_s{std::move(queue)} : nullptr;
        },
        nullptr);
}

void zed_dispatch_queue_release(zed_dispatch_queue_t queue) {
    delete queue;
}

int32_t zed_dispatch_is_current_queue_equal_to_queue(zed_dispatch_queue_t queue) {
    return guarded(
        __func__,
        [&] { return zed::dispatch_is_current_queue_equal_to_queue(queueOf(queue).get()) ? 1 : 0; },
        0);
}

void zed_dispatch_sync_to_queue(zed_dispatch_queue_t queue, zed_dispatch_block_t block,
                                void* context) {
    guarded(
        __func__,
        [&] {
            zed::dispatch_sync_to_queue(queueOf(queue).get(), blockOf(block, context));
            return 0;
        },
        0);
}

void zed_dispatch_attempt_barrier_sync_to_queue(zed_dispatch_queue_t queue,
                                                zed_dispatch_block_t block, void* context) {
    guarded(
        __func__,
        [&] {
            zed::dispatch_attempt_barrier_sync_to_queue(queueOf(queue).get(),
                                                        blockOf(block, context));
            return 0;
        },
        0);
}

void zed_dispatch_async_to_main(zed_dispatch_block_t block, void* context) {
    guarded(
        __func__,
        [&] {
            zed::dispatch_async_to_main(blockOf(block, context));
            return 0;
        },
        0);
}

void zed_dispatch_sync_to_main(zed_dispatch_block_t block, void* context) {
    guarded(
        __func__,
        [&] {
            zed::dispatch_sync_to_main(blockOf(block, context));
            return 0;
        },
        0);
}

int32_t zed_dispatch_verify_using_queue(zed_dispatch_queue_t queue) {
    return guarded(
        __func__,
        [&] {
            zed::dispatch_verify_using_queue(queueOf(queue).get());
            return 1;
        },
        0);
}

}  // extern "C"

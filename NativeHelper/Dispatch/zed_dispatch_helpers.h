#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Dispatch/ZedDispatchQueue.h"

// The queue helpers every stateful object of the library builds on. They log misuse in the
// platform category; the ones that compare queues raise ZedDispatchException to their caller.
namespace zed {

using DispatchBlock = std::function<void()>;

// The process-wide key under which every queue made by dispatch_queue_create carries itself.
const void* dispatch_queue_identity_key();

// The label of one of an object's queues: "com.zedcorp.nativehelper.CLASS.ROLE.ADDRESS".
std::string dispatch_queue_label(const char* className, const char* role, const void* owner);

// A new queue marked with its identity, or null when none can be made.
std::shared_ptr<ZedDispatchQueue> dispatch_queue_create(const char* label,
                                                        ZedDispatchQueueKind kind);

// Whether the calling code runs on `queue`. Raises "QueueException" for an unmarked queue.
bool dispatch_is_current_queue_equal_to_queue(ZedDispatchQueue* queue);

// Runs the block on the queue and returns after it ran; inline when already on that queue, so
// nested synchronous calls are safe.
void dispatch_sync_to_queue(ZedDispatchQueue* queue, const DispatchBlock& block);

// Runs the block alone on the queue. Raises "BarrierBlockException" when called from the queue
// itself, which would otherwise wait on itself for ever.
void dispatch_attempt_barrier_sync_to_queue(ZedDispatchQueue* queue, const DispatchBlock& block);

void dispatch_async_to_main(DispatchBlock block);
void dispatch_sync_to_main(const DispatchBlock& block);

// Raises "QueueException" unless the caller runs on `queue`.
void dispatch_verify_using_queue(ZedDispatchQueue* queue);

}  // namespace zed

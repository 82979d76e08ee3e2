#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Dispatch/ZedDispatchExecutor.h"

enum class ZedDispatchQueueKind { serial, concurrent };

// A queue of blocks in the manner of Grand Central Dispatch. A serial queue runs one block at a
// time in order; a concurrent queue starts blocks in order and lets them overlap, except that a
// barrier block waits for everything before it and holds back everything after it.
//
// Asynchronous blocks run on the queue's executor. A synchronous block runs on its caller's
// thread once the queue lets it start, so waiting callers never tie up pool threads. While a
// block runs, the queue is the thread's current queue and log lines carry its label.
class ZedDispatchQueue : public std::enable_shared_from_this<ZedDispatchQueue> {
  public:
    using Block = std::function<void()>;

    // A queue on the shared worker pool.
    static std::shared_ptr<ZedDispatchQueue> create(std::string label, ZedDispatchQueueKind kind);
    // A serial queue on an executor of the caller's choosing (the main queue's thread).
    static std::shared_ptr<ZedDispatchQueue> createOn(std::string label,
                                                      ZedDispatchExecutor& executor);

    ZedDispatchQueue(const ZedDispatchQueue&) = delete;
    ZedDispatchQueue& operator=(const ZedDispatchQueue&) = delete;

    const std::string& label() const { return label_; }
    ZedDispatchQueueKind kind() const { return kind_; }

    void async(Block block);
    void barrierAsync(Block block);
    // Both return once the block has run; an exception the block throws reaches the caller. The
    // queue lives until the last of them returns, whoever else lets go of it meanwhile.
    void sync(const Block& block);
    void barrierSync(const Block& block);
    void after(std::chrono::milliseconds delay, Block block);

    void setSpecific(const void* key, void* value);
    void* getSpecific(const void* key) const;

    // The queue whose block the calling thread runs, or null outside any queue.
    static ZedDispatchQueue* current();
    // Whether the calling thread runs a block of this queue, directly or through synchronous
    // calls onto other queues made from inside it.
    bool isRunningOnCallingThread() const;
    // The value under `key` of the current queue, or null.
    static void* getCurrentSpecific(const void* key);

  private:
    struct Gate;
    struct Item {
        Block block;
        bool barrier = false;
        std::shared_ptr<Gate> gate;  // set for synchronous items: their caller runs the block
    };

    ZedDispatchQueue(std::string label, ZedDispatchQueueKind kind, ZedDispatchExecutor& executor);

    void enqueue(Item item);
    void startWhatMayStart(std::unique_lock<std::mutex>& lock);
    void finished(bool barrier);
    void runHere(const Block& block);
    void runAsynchronous(const Block& block);
    void syncItem(const Block& block, bool barrier);

    const std::string label_;
    const ZedDispatchQueueKind kind_;
    ZedDispatchExecutor& executor_;

    std::mutex mutex_;
    std::deque<Item> pending_;
    std::size_t running_ = 0;
    bool barrierRunning_ = false;

    mutable std::mutex specificsMutex_;
    std::map<const void*, void*> specifics_;
};

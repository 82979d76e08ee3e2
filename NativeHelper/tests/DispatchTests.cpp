#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Dispatch/ZedDispatchException.h"
#include "Dispatch/ZedDispatchQueue.h"
#include "Dispatch/ZedDispatchThreadPool.h"
#include "Dispatch/zed_dispatch_helpers.h"
#include "tests/LogCapture.h"

namespace {

using namespace std::chrono_literals;
constexpr auto kGenerous = 30s;

// Waits for a condition another thread makes true, failing only after a generous time.
class Latch {
  public:
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool wait() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kGenerous, [this] { return open_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

std::string exceptionName(const std::function<void()>& body, std::string* reason = nullptr) {
    try {
        body();
    } catch (const ZedDispatchException& exception) {
        if (reason) {
            *reason = exception.reason();
        }
        return exception.name();
    }
    return "";
}

TEST(DispatchQueueTest, SerialQueueRunsAsynchronousBlocksInOrder) {
    auto queue = zed::dispatch_queue_create("test.serial.order", ZedDispatchQueueKind::serial);
    std::vector<int> order;
    for (int i = 0; i < 200; ++i) {
        queue->async([&order, i] { order.push_back(i); });
    }
    queue->sync([] {});
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    }
}

TEST(DispatchQueueTest, ConcurrentQueueLetsBlocksOverlap) {
    auto queue =
        zed::dispatch_queue_create("test.concurrent.overlap", ZedDispatchQueueKind::concurrent);
    Latch firstRunning;
    Latch release;
    Latch secondRan;
    queue->async([&] {
        firstRunning.open();
        release.wait();
    });
    ASSERT_TRUE(firstRunning.wait());
    queue->async([&] { secondRan.open(); });
    EXPECT_TRUE(secondRan.wait());  // it ran while the first was still blocked
    release.open();
    queue->barrierSync([] {});
}

TEST(DispatchQueueTest, BarrierExcludesReadersOnAConcurrentQueue) {
    auto queue =
        zed::dispatch_queue_create("test.concurrent.barrier", ZedDispatchQueueKind::concurrent);
    std::atomic<int> readers{0};
    std::atomic<bool> overlapSeen{false};
    std::atomic<int> barriersRun{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                if ((i + t) % 10 == 0) {
                    zed::dispatch_attempt_barrier_sync_to_queue(queue.get(), [&] {
                        if (readers.load() != 0) {
                            overlapSeen = true;
                        }
                        ++barriersRun;
                    });
                } else {
                    zed::dispatch_sync_to_queue(queue.get(), [&] {
                        ++readers;
                        std::this_thread::yield();
                        --readers;
                    });
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_FALSE(overlapSeen);
    EXPECT_EQ(barriersRun.load(), 80);
}

TEST(DispatchQueueTest, BarrierRunsAfterEarlierBlocksAndBeforeLaterOnes) {
    auto queue =
        zed::dispatch_queue_create("test.concurrent.order", ZedDispatchQueueKind::concurrent);
    std::mutex mutex;
    std::vector<std::string> events;
    auto record = [&](std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    };
    for (int i = 0; i < 5; ++i) {
        queue->async([&] { record("before"); });
    }
    queue->barrierAsync([&] { record("barrier"); });
    for (int i = 0; i < 5; ++i) {
        queue->async([&] { record("after"); });
    }
    queue->barrierSync([] {});
    ASSERT_EQ(events.size(), 11u);
    EXPECT_EQ(events[5], "barrier");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(events[static_cast<std::size_t>(i)], "before");
        EXPECT_EQ(events[static_cast<std::size_t>(i) + 6], "after");
    }
}

TEST(DispatchQueueTest, RunAfterDelayRunsOnTheQueue) {
    auto queue = zed::dispatch_queue_create("test.after", ZedDispatchQueueKind::serial);
    Latch ran;
    std::atomic<bool> onQueue{false};
    queue->after(20ms, [&] {
        onQueue = zed::dispatch_is_current_queue_equal_to_queue(queue.get());
        ran.open();
    });
    ASSERT_TRUE(ran.wait());
    EXPECT_TRUE(onQueue);
}

TEST(DispatchQueueTest, LogLinesCarryTheQueueLabel) {
    LogCapture::shared().clear();
    auto queue = zed::dispatch_queue_create("test.label", ZedDispatchQueueKind::serial);
    queue->sync([] { DDLog::log(true, 31, 16, 10, "f.cpp", "fn", 1, nullptr, "inside"); });
    DDLog::log(true, 31, 16, 10, "f.cpp", "fn", 1, nullptr, "outside");
    bool insideLabelled = false;
    bool outsideUnlabelled = false;
    for (const auto& message : LogCapture::shared().messages()) {
        if (message.logMsg == "inside") {
            insideLabelled = message.queueLabel == std::optional<std::string>("test.label");
        } else if (message.logMsg == "outside") {
            outsideUnlabelled = !message.queueLabel.has_value();
        }
    }
    EXPECT_TRUE(insideLabelled);
    EXPECT_TRUE(outsideUnlabelled);
}

TEST(DispatchQueueTest, AnExceptionInASynchronousBlockReachesTheCallerAndFreesTheQueue) {
    auto queue = zed::dispatch_queue_create("test.throw", ZedDispatchQueueKind::serial);
    EXPECT_THROW(queue->sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
    bool ran = false;
    queue->sync([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(DispatchQueueTest, AQueueLivesUntilTheLastSyncOnItReturns) {
    auto queue = zed::dispatch_queue_create("test.last.sync", ZedDispatchQueueKind::serial);
    const std::weak_ptr<ZedDispatchQueue> weak = queue;
    bool aliveInside = false;
    queue->sync([&] {
        queue.reset();  // the owner lets go while a caller waits in (here: runs) a sync on it
        aliveInside = !weak.expired();
    });
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(weak.expired());
}

// The threads of this process that carry `name`.
int threadsNamed(const std::string& name) {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string line;
        count += std::getline(comm, line) && line == name;
    }
    return count;
}

TEST(DispatchThreadPoolTest, WorkersIdleForTheirTimeoutEnd) {
    ZedDispatchThreadPool pool("test-idle", 4, 20ms);
    for (int round = 0; round < 2; ++round) {  // a later job starts a worker again
        Latch ran;
        pool.post([&ran] { ran.open(); });
        ASSERT_TRUE(ran.wait());
        const auto deadline = std::chrono::steady_clock::now() + kGenerous;
        while (threadsNamed("test-idle") > 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(threadsNamed("test-idle"), 0) << "round " << round;
    }
    EXPECT_TRUE(pool.stop(ZedDispatchThreadPool::Clock::now() + kGenerous));
}

TEST(DispatchThreadPoolTest, StopRunsPendingJobsAndJoinsEveryWorker) {
    ZedDispatchThreadPool pool("test-pool", 4);
    std::atomic<int> runs{0};
    for (int i = 0; i < 50; ++i) {
        pool.post([&runs] { ++runs; });
    }
    EXPECT_TRUE(pool.stop(ZedDispatchThreadPool::Clock::now() + kGenerous));
    EXPECT_EQ(runs.load(), 50);
    EXPECT_EQ(pool.workerCount(), 0u);
    pool.post([&runs] { ++runs; });  // starts again on demand
    EXPECT_TRUE(pool.stop(ZedDispatchThreadPool::Clock::now() + kGenerous));
    EXPECT_EQ(runs.load(), 51);
}

TEST(DispatchThreadPoolTest, AWorkerStuckInItsJobIsLeftBehindInsteadOfHangingTheStop) {
    // Kept for the life of the process: the abandoned worker still uses it when it resumes.
    static auto* pool = new ZedDispatchThreadPool("test-stuck", 2);
    // Shared with the worker, which may still be leaving open() when the test has moved on.
    auto started = std::make_shared<Latch>();
    auto release = std::make_shared<Latch>();
    auto finished = std::make_shared<Latch>();
    pool->post([started, release, finished] {
        started->open();
        release->wait();
        finished->open();
    });
    ASSERT_TRUE(started->wait());
    EXPECT_FALSE(pool->stop(ZedDispatchThreadPool::Clock::now() + 50ms));
    EXPECT_EQ(pool->abandonBusyWorkers(), 1u);
    EXPECT_EQ(pool->workerCount(), 0u);
    release->open();
    EXPECT_TRUE(finished->wait());
}

TEST(DispatchHelpersTest, NestedSyncOnTheSameQueueRunsInline) {
    auto queue = zed::dispatch_queue_create("test.nested", ZedDispatchQueueKind::serial);
    int depth = 0;
    zed::dispatch_sync_to_queue(queue.get(), [&] {
        ++depth;
        zed::dispatch_sync_to_queue(queue.get(), [&] {
            ++depth;
            zed::dispatch_sync_to_queue(queue.get(), [&] { ++depth; });
        });
    });
    EXPECT_EQ(depth, 3);
}

TEST(DispatchHelpersTest, CurrentQueueComparison) {
    auto queue = zed::dispatch_queue_create("test.current", ZedDispatchQueueKind::concurrent);
    auto other = zed::dispatch_queue_create("test.other", ZedDispatchQueueKind::serial);
    EXPECT_FALSE(zed::dispatch_is_current_queue_equal_to_queue(queue.get()));
    bool onQueue = false;
    bool onOther = true;
    zed::dispatch_sync_to_queue(queue.get(), [&] {
        onQueue = zed::dispatch_is_current_queue_equal_to_queue(queue.get());
        onOther = zed::dispatch_is_current_queue_equal_to_queue(other.get());
    });
    EXPECT_TRUE(onQueue);
    EXPECT_FALSE(onOther);
}

TEST(DispatchHelpersTest, UnmarkedQueueRaisesQueueException) {
    LogCapture::shared().clear();
    auto unmarked = ZedDispatchQueue::create("test.unmarked", ZedDispatchQueueKind::serial);
    const std::string expected =
        "Unable to compare queues, no key set for the input queue. Was the queue created with "
        "\"zed_dispatch_queue_create()\"?";
    std::string reason;
    EXPECT_EQ(exceptionName([&] { zed::dispatch_is_current_queue_equal_to_queue(unmarked.get()); },
                            &reason),
              "QueueException");
    EXPECT_EQ(reason, expected);
    EXPECT_TRUE(LogCapture::shared().contains(expected));
    EXPECT_EQ(exceptionName([&] { zed::dispatch_sync_to_queue(unmarked.get(), [] {}); }),
              "QueueException");
}

TEST(DispatchHelpersTest, MainQueueWorksWithoutPriorMarking) {
    bool onMain = false;
    zed::dispatch_sync_to_main([&] {
        onMain = zed::dispatch_is_current_queue_equal_to_queue(ZedDispatchQueue::current());
    });
    EXPECT_TRUE(onMain);
    int nested = 0;
    zed::dispatch_sync_to_main([&] { zed::dispatch_sync_to_main([&] { ++nested; }); });
    EXPECT_EQ(nested, 1);
    std::atomic<int> runs{0};
    for (int i = 0; i < 20; ++i) {
        zed::dispatch_async_to_main([&] { ++runs; });
    }
    zed::dispatch_sync_to_main([] {});
    EXPECT_EQ(runs.load(), 20);
}

TEST(DispatchHelpersTest, BarrierFromItsOwnQueueRaisesBarrierBlockException) {
    LogCapture::shared().clear();
    auto queue = zed::dispatch_queue_create("test.self.barrier", ZedDispatchQueueKind::concurrent);
    std::string name;
    std::string reason;
    bool innerRan = false;
    zed::dispatch_sync_to_queue(queue.get(), [&] {
        name = exceptionName(
            [&] {
                zed::dispatch_attempt_barrier_sync_to_queue(queue.get(), [&] { innerRan = true; });
            },
            &reason);
    });
    EXPECT_EQ(name, "BarrierBlockException");
    EXPECT_EQ(reason,
              "attempting to execute a barrier block but we're already on the target queue: "
              "(test.self.barrier).");
    EXPECT_FALSE(innerRan);
    EXPECT_TRUE(LogCapture::shared().contains(reason));
}

TEST(DispatchHelpersTest, NullArgumentsAreLoggedAndNothingRuns) {
    LogCapture::shared().clear();
    auto queue = zed::dispatch_queue_create("test.nulls", ZedDispatchQueueKind::serial);
    bool ran = false;
    zed::dispatch_sync_to_queue(nullptr, [&] { ran = true; });
    zed::dispatch_attempt_barrier_sync_to_queue(nullptr, [&] { ran = true; });
    zed::dispatch_sync_to_queue(queue.get(), nullptr);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(LogCapture::shared().contains("queue is nil"));
    EXPECT_TRUE(LogCapture::shared().contains("block is nil"));
}

TEST(DispatchHelpersTest, VerifyUsingQueue) {
    auto queue = zed::dispatch_queue_create("test.verify", ZedDispatchQueueKind::serial);
    auto other = zed::dispatch_queue_create("test.verify.other", ZedDispatchQueueKind::serial);
    std::string reason;
    EXPECT_EQ(exceptionName([] { zed::dispatch_verify_using_queue(nullptr); }, &reason),
              "QueueException");
    EXPECT_EQ(reason, "Queue does not exist");

    EXPECT_EQ(exceptionName([&] { zed::dispatch_verify_using_queue(queue.get()); }),
              "QueueException");
    zed::dispatch_sync_to_queue(queue.get(), [&] {
        EXPECT_EQ(exceptionName([&] { zed::dispatch_verify_using_queue(queue.get()); }), "");
    });
    LogCapture::shared().clear();
    zed::dispatch_sync_to_queue(other.get(), [&] {
        EXPECT_EQ(exceptionName([&] { zed::dispatch_verify_using_queue(queue.get()); }, &reason),
                  "QueueException");
    });
    EXPECT_EQ(reason,
              "Accessing method outside of its queue. Expected queue (test.verify) actual queue "
              "(test.verify.other)");
    EXPECT_TRUE(LogCapture::shared().contains("not using correct queue"));

    auto unmarked = ZedDispatchQueue::create("test.verify.unmarked", ZedDispatchQueueKind::serial);
    EXPECT_EQ(exceptionName([&] { zed::dispatch_verify_using_queue(unmarked.get()); }, &reason),
              "QueueException");
    EXPECT_NE(reason.find("no key set"), std::string::npos);
}

}  // namespace

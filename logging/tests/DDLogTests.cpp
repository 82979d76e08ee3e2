// The hub's queueing rules: order, back-pressure, synchronous posts, flush, formatters.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "logging/DDLog.h"

namespace {

class CapturingLogger : public DDLogger {
  public:
    void logMessage(const DDLogMessage& message) override {
        if (auto line = lineFor(message)) {
            std::lock_guard lock(mutex_);
            lines_.push_back(*line);
        }
    }
    std::vector<std::string> lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

// Holds the logging queue inside its first message until released.
class BlockingLogger : public DDLogger {
  public:
    void logMessage(const DDLogMessage&) override {
        std::unique_lock lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
    }
    void waitUntilEntered() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return entered_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool released_ = false;
};

class DropWarnings : public DDLogFormatter {
  public:
    std::optional<std::string> formatLogMessage(const DDLogMessage& message) override {
        if (message.logFlag == 2) {
            return std::nullopt;
        }
        return "[" + message.logMsg + "]";
    }
};

class DDLogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        DDLog::flushLog();
        DDLog::removeAllLoggers();
    }
    void post(const std::string& text, bool asynchronous = true, int flag = 4) {
        DDLog::log(asynchronous, 7, flag, 0, __FILE__, __func__, __LINE__, text);
    }
};

TEST_F(DDLogTest, AsynchronousPostsFromOneThreadArriveInOrder) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    for (int i = 0; i < 500; ++i) {
        post(std::to_string(i));
    }
    DDLog::flushLog();
    const auto lines = logger->lines();
    ASSERT_EQ(lines.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(lines[i], std::to_string(i));
    }
}

TEST_F(DDLogTest, PostBeyondThousandPendingWaitsForRoom) {
    auto blocker = std::make_shared<BlockingLogger>();
    DDLog::addLogger(blocker);
    post("held by the logger");
    blocker->waitUntilEntered();
    for (std::size_t i = 0; i < DDLog::kMaximumPendingMessages; ++i) {
        post("pending");
    }
    std::atomic<bool> returned{false};
    std::thread overflow([&] {
        post("one too many");
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(returned) << "the 1001st pending post must wait for room";
    blocker->release();
    overflow.join();
    EXPECT_TRUE(returned);
}

TEST_F(DDLogTest, SynchronousPostReturnsAfterEveryLoggerRan) {
    auto first = std::make_shared<CapturingLogger>();
    auto second = std::make_shared<CapturingLogger>();
    DDLog::addLogger(first);
    DDLog::addLogger(second);
    for (int i = 0; i < 100; ++i) {
        post("async " + std::to_string(i));
    }
    post("severe", false, 1);
    EXPECT_EQ(first->lines().size(), 101u);
    EXPECT_EQ(second->lines().back(), "severe");
}

TEST_F(DDLogTest, FlushDrainsEveryThreadsMessages) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([this] {
            for (int i = 0; i < 300; ++i) {
                post("m");
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
    DDLog::flushLog();
    EXPECT_EQ(logger->lines().size(), 1200u);
}

TEST_F(DDLogTest, PercentSignsInAMessageArriveUnchanged) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    post("100% of %s and %n done %%");
    DDLog::flushLog();
    ASSERT_EQ(logger->lines().size(), 1u);
    EXPECT_EQ(logger->lines()[0], "100% of %s and %n done %%");
}

TEST_F(DDLogTest, FormatVariantFormatsWithPrintfRules) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    DDLog::log(true, 31, 16, 8, __FILE__, __func__, __LINE__, nullptr, "%s has %d items", "set", 3);
    DDLog::log(true, 31, 16, 8, __FILE__, __func__, __LINE__, nullptr, nullptr);
    DDLog::flushLog();
    ASSERT_EQ(logger->lines().size(), 2u);
    EXPECT_EQ(logger->lines()[0], "set has 3 items");
    EXPECT_EQ(logger->lines()[1], "");
}

TEST_F(DDLogTest, FormatterDropsAMessageForItsOwnLoggerOnly) {
    auto filtered = std::make_shared<CapturingLogger>();
    filtered->setLogFormatter(std::make_shared<DropWarnings>());
    auto plain = std::make_shared<CapturingLogger>();
    DDLog::addLogger(filtered);
    DDLog::addLogger(plain);
    post("error", true, 1);
    post("warning", true, 2);
    DDLog::flushLog();
    EXPECT_EQ(filtered->lines(), std::vector<std::string>{"[error]"});
    EXPECT_EQ(plain->lines(), (std::vector<std::string>{"error", "warning"}));
}

TEST_F(DDLogTest, MessageRecordCarriesTheCallersDetails) {
    struct RecordKeeper : DDLogger {
        std::vector<DDLogMessage> records;
        void logMessage(const DDLogMessage& message) override { records.push_back(message); }
    };
    auto keeper = std::make_shared<RecordKeeper>();
    DDLog::addLogger(keeper);
    DDLogMessage::setCurrentQueueLabel("com.example.queue");
    DDLog::log(false, 31, 8, 10, "/src/a/File.cpp", "doWork", 42, "tag", "x");
    DDLogMessage::setCurrentQueueLabel(nullptr);
    DDLog::log(false, 31, 8, 10, "/src/a/File.cpp", "doWork", 43, nullptr, "y");
    ASSERT_EQ(keeper->records.size(), 2u);
    const DDLogMessage& first = keeper->records[0];
    EXPECT_EQ(first.logLevel, 31);
    EXPECT_EQ(first.logFlag, 8);
    EXPECT_EQ(first.logContext, 10);
    EXPECT_STREQ(first.file, "/src/a/File.cpp");
    EXPECT_STREQ(first.function, "doWork");
    EXPECT_EQ(first.lineNumber, 42);
    EXPECT_EQ(first.queueLabel, "com.example.queue");
    EXPECT_EQ(first.machThreadID, static_cast<long>(gettid()));
    EXPECT_FALSE(keeper->records[1].queueLabel.has_value());
}

TEST_F(DDLogTest, LoggerThatLogsDoesNotDeadlockTheQueue) {
    struct Echo : DDLogger {
        int depth = 0;
        std::vector<std::string> seen;
        void logMessage(const DDLogMessage& message) override {
            seen.push_back(message.logMsg);
            if (depth++ == 0) {
                DDLog::log(false, 7, 4, 0, __FILE__, __func__, __LINE__, "echo (sync)");
                DDLog::log(true, 7, 4, 0, __FILE__, __func__, __LINE__, "echo (async)");
            }
        }
    };
    auto echo = std::make_shared<Echo>();
    DDLog::addLogger(echo);
    post("hello", false);
    DDLog::flushLog();
    EXPECT_EQ(echo->seen, (std::vector<std::string>{"hello", "echo (sync)", "echo (async)"}));
}

TEST_F(DDLogTest, ShutdownDeliversPendingMessagesAndHubRestartsOnNextPost) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    for (int i = 0; i < 50; ++i) {
        post("before");
    }
    DDLog::shutdown();
    EXPECT_EQ(logger->lines().size(), 50u);
    post("after", false);
    EXPECT_EQ(logger->lines().back(), "after");
}

// Posters on four threads, synchronous posts among them, someone flushing all along and the
// hub stopped twice meanwhile: every message arrives once, each thread's in its order.
TEST_F(DDLogTest, ConcurrentPostsFlushesAndStopsLoseNothingAndKeepEachThreadsOrder) {
    auto logger = std::make_shared<CapturingLogger>();
    DDLog::addLogger(logger);
    constexpr int kThreads = 4;
    constexpr int kEach = 3000;
    std::atomic<bool> posting{true};
    std::thread flusher([&] {
        while (posting) {
            DDLog::flushLog();
        }
    });
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) {
                post(std::to_string(t) + ":" + std::to_string(i), i % 500 != 499);
            }
        });
    }
    DDLog::shutdown();
    DDLog::shutdown();
    for (auto& poster : posters) {
        poster.join();
    }
    posting = false;
    flusher.join();
    DDLog::flushLog();
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : logger->lines()) {
        const int t = std::stoi(line.substr(0, line.find(':')));
        ASSERT_EQ(line, std::to_string(t) + ":" + std::to_string(next[t])) << "out of order";
        ++next[t];
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kEach));
}

// The queue's own thread never waits for room: a logger that posts far more than the queue
// holds, from inside, neither deadlocks nor loses a line.
TEST_F(DDLogTest, LoggerThatFloodsTheQueueFromInsideLosesNothing) {
    struct Flood : CapturingLogger {
        void logMessage(const DDLogMessage& message) override {
            CapturingLogger::logMessage(message);
            if (message.logMsg == "flood") {
                for (int i = 0; i < 2500; ++i) {
                    DDLog::log(true, 7, 4, 0, __FILE__, __func__, __LINE__, std::to_string(i));
                }
            }
        }
    };
    auto flood = std::make_shared<Flood>();
    DDLog::addLogger(flood);
    post("flood");
    post("after");
    DDLog::flushLog();
    std::vector<std::string> lines = flood->lines();
    ASSERT_EQ(lines.size(), 2502u);
    EXPECT_EQ(lines[0], "flood");
    // "after" comes from another thread: anywhere after the flood began.
    const auto after = std::find(lines.begin(), lines.end(), "after");
    ASSERT_NE(after, lines.end());
    lines.erase(after);
    for (int i = 0; i < 2500; ++i) {
        ASSERT_EQ(lines[i + 1], std::to_string(i));
    }
}

}  // namespace

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "FileWatching/ZedFileWatcher.h"
#include "FileWatching/ZedFileWatcherUtilities.h"
#include "Logging/ZedLogging/ZedLogLevels.h"
#include "platform/events/ZedEventFlags.h"
#include "platform/events/ZedEventJournal.h"
#include "tests/LogCapture.h"

namespace {

using namespace ZedEventFlags;
using ZedFileWatcherUtilities::descriptionForEventFlags;
using ZedFileWatcherUtilities::flagsIndicateCreateEvent;
using ZedFileWatcherUtilities::flagsIndicateDirectory;

class TemporaryTree {
  public:
    TemporaryTree() {
        char pattern[] = "/tmp/vtnative-tree-XXXXXX";
        root_ = mkdtemp(pattern);
    }
    ~TemporaryTree() { std::filesystem::remove_all(root_); }
    const std::string& root() const { return root_; }
    std::string path(const std::string& name) const { return root_ + "/" + name; }
    void touch(const std::string& name) const {
        const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }

  private:
    std::string root_;
};

TEST(FileWatcherFlags, DescriptionsListSetBitsInAscendingOrder) {
    EXPECT_EQ(descriptionForEventFlags(0), "Event flags:\nNo flags set");
    EXPECT_EQ(descriptionForEventFlags(kItemIsFile | kMustScanSubDirs),
              "Event flags:\nMust scan subbdirs\nItem is a file");
    EXPECT_EQ(descriptionForEventFlags(kHistoryDone | kItemRenamed | kItemIsSymlink),
              "Event flags:\nHistory done\nItem renamed\nItem is a symlink");
    EXPECT_EQ(descriptionForEventFlags(0x80000), "Event flags:");
}

TEST(FileWatcherFlags, CreateEventAtItsEdges) {
    EXPECT_TRUE(flagsIndicateCreateEvent(kItemCreated));
    EXPECT_FALSE(flagsIndicateCreateEvent(kItemCreated | kItemModified));
    EXPECT_TRUE(
        flagsIndicateCreateEvent(kItemCreated | kItemModified | kItemChangeOwner | kItemXattrMod));
    EXPECT_TRUE(flagsIndicateCreateEvent(0xD100 | kItemRemoved | kItemIsFile));
    EXPECT_FALSE(flagsIndicateCreateEvent(kItemCreated | kItemModified | kItemChangeOwner));
    EXPECT_TRUE(flagsIndicateCreateEvent(kItemRenamed | kItemIsDir));
    EXPECT_TRUE(flagsIndicateCreateEvent(kItemCreated | kItemRenamed | kMustScanSubDirs));
    EXPECT_FALSE(flagsIndicateCreateEvent(kItemCreated | kItemRemoved));
    EXPECT_FALSE(flagsIndicateCreateEvent(kItemIsFile | kHistoryDone));
    EXPECT_FALSE(flagsIndicateCreateEvent(0));
}

TEST(FileWatcherFlags, DirectoryOnlyWithTheDirectoryBitAlone) {
    EXPECT_TRUE(flagsIndicateDirectory(kItemIsDir));
    EXPECT_TRUE(flagsIndicateDirectory(kItemIsDir | kItemRemoved | kMustScanSubDirs));
    EXPECT_FALSE(flagsIndicateDirectory(kItemIsDir | kItemIsFile));
    EXPECT_FALSE(flagsIndicateDirectory(kItemIsDir | kItemIsSymlink));
    EXPECT_FALSE(flagsIndicateDirectory(kItemIsFile));
    EXPECT_FALSE(flagsIndicateDirectory(kItemIsSymlink));
    EXPECT_FALSE(flagsIndicateDirectory(0));
}

// What the watcher's callbacks were called with, in order.
struct Calls {
    static std::mutex mutex;
    static std::vector<std::string> seen;
    static void add(std::string call) {
        std::lock_guard lock(mutex);
        seen.push_back(std::move(call));
    }
    static std::vector<std::string> take() {
        std::lock_guard lock(mutex);
        return std::exchange(seen, {});
    }
};
std::mutex Calls::mutex;
std::vector<std::string> Calls::seen;

void created(const char* path, int isDirectory) {
    Calls::add("created " + std::string(path) + " " + std::to_string(isDirectory));
}
void modified(const char* path, int isDirectory) {
    Calls::add("modified " + std::string(path) + " " + std::to_string(isDirectory));
}
void deleted(const char* path, int isDirectory) {
    Calls::add("deleted " + std::string(path) + " " + std::to_string(isDirectory));
}
void scan(const char* path) {
    Calls::add("scan " + std::string(path));
}
void finished() {}

TEST(FileWatcherEvents, FlagsAndTheFileSystemChooseTheCallback) {
    TemporaryTree tree;
    tree.touch("file");
    ASSERT_EQ(mkdir(tree.path("dir").c_str(), 0755), 0);
    auto watcher = ZedFileWatcher::initWithDirectoryPaths({tree.root()}, created, modified, deleted,
                                                          scan, finished);
    ASSERT_TRUE(watcher);
    Calls::take();
    const std::string file = tree.path("file");
    const std::string dir = tree.path("dir");
    const std::string gone = tree.path("gone");
    watcher->processCallbackForEventPath(file, kItemCreated | kItemIsFile, 1);
    watcher->processCallbackForEventPath(file, kItemCreated | kItemModified | kItemIsFile, 2);
    watcher->processCallbackForEventPath(file, 0xD100 | kItemIsFile, 3);
    watcher->processCallbackForEventPath(dir, kItemRenamed | kItemIsDir, 4);
    watcher->processCallbackForEventPath(dir, kMustScanSubDirs | kKernelDropped, 5);
    watcher->processCallbackForEventPath(gone, kUnmount | kItemIsDir, 6);
    watcher->processCallbackForEventPath(gone, kItemRemoved | kItemIsDir, 7);
    watcher->processCallbackForEventPath(gone, kItemRemoved | kItemIsDir | kItemIsFile, 8);
    watcher->processCallbackForEventPath(file, kItemRenamed | kItemIsFile, 9);
    EXPECT_EQ(Calls::take(), (std::vector<std::string>{
                                 "created " + file + " 0",
                                 "modified " + file + " 0",
                                 "created " + file + " 0",
                                 "created " + dir + " 1",
                                 "scan " + dir,
                                 "modified " + dir + " 1",
                                 "scan " + dir,
                                 "deleted " + gone + " 1",
                                 "deleted " + gone + " 0",
                                 "created " + file + " 0",
                             }));

    LogCapture::shared().clear();
    watcher->processCallbackForEventPath("", kItemCreated, 10);
    EXPECT_TRUE(Calls::take().empty());
    EXPECT_TRUE(LogCapture::shared().contains("path is nil or empty"));
    watcher->invalidate();
}

// Log lines written from the watcher queue's blocks name the operation, not the block.
TEST(FileWatcherEvents, LogLinesFromQueueBlocksNameTheirOperation) {
    TemporaryTree tree;
    ZedLogLevels::setAll(ZedLogMaskDebug);
    LogCapture::shared().clear();
    auto watcher = ZedFileWatcher::initWithDirectoryPaths({tree.root()}, created, modified, deleted,
                                                          scan, finished);
    ASSERT_TRUE(watcher);
    watcher->removePathToWatch(tree.root().c_str());  // idle: rebuilt at once, with no paths
    watcher->startWatching();
    watcher->invalidate();
    ZedLogLevels::setAll(ZedLogMaskInfo);
    const std::pair<std::string, std::string> expected[] = {
        {"Loaded last event id: (", "loadLatestEventId"},
        {"Attempting to create file stream with no paths.", "createFileStream"},
        {"No paths to watch, not starting)", "startWatching"},
    };
    const auto messages = LogCapture::shared().messages();
    for (const auto& [text, function] : expected) {
        const auto found = std::find_if(messages.begin(), messages.end(), [&](const auto& message) {
            return message.logMsg.rfind(text, 0) == 0;
        });
        ASSERT_NE(found, messages.end()) << text;
        EXPECT_EQ(found->function, function) << text;
    }
}

TEST(FileWatcherEvents, MissingArgumentsYieldNoWatcher) {
    LogCapture::shared().clear();
    EXPECT_FALSE(
        ZedFileWatcher::initWithDirectoryPaths({}, created, modified, deleted, scan, finished));
    EXPECT_FALSE(ZedFileWatcher::initWithDirectoryPaths({"/tmp"}, created, modified, deleted, scan,
                                                        nullptr));
    EXPECT_TRUE(LogCapture::shared().contains("directoryPaths is empty"));
    EXPECT_TRUE(LogCapture::shared().contains("finishedCallback is null"));
}

std::vector<ZedEventJournal::Event> collect(ZedEventJournal& journal, std::uint64_t reader) {
    journal.drain();
    std::uint64_t position = 0;
    return journal.collect(reader, position);
}

TEST(EventJournal, PastItsBoundReadersGetMustScan) {
    TemporaryTree tree;
    ZedEventJournal journal(false, 8);
    const auto reader = journal.registerReader({tree.root()}, journal.currentEventId(), {});
    for (int i = 0; i < 20; ++i) {
        tree.touch("f" + std::to_string(i));
    }
    const auto events = collect(journal, reader);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().path, tree.root());
    EXPECT_EQ(events.front().flags, kMustScanSubDirs | kUserDropped | kItemIsDir);
    EXPECT_LE(events.size(), 9u);
    EXPECT_EQ(events.back().path, tree.path("f19"));
    EXPECT_TRUE(collect(journal, reader).empty());
    journal.unregisterReader(reader);
}

TEST(EventJournal, ReadersSeeTheirOwnTreesMergedAndInOrder) {
    TemporaryTree one;
    TemporaryTree two;
    ZedEventJournal journal(false);
    const auto first = journal.registerReader({one.root()}, journal.currentEventId(), {});
    const auto second = journal.registerReader({two.root()}, journal.currentEventId(), {});
    one.touch("a");
    ASSERT_EQ(chmod(one.path("a").c_str(), 0600), 0);
    two.touch("b");
    ASSERT_EQ(mkdir(one.path("d").c_str(), 0755), 0);
    const auto events = collect(journal, first);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].path, one.path("a"));
    EXPECT_EQ(events[0].flags, kItemCreated | kItemInodeMetaMod | kItemIsFile);
    EXPECT_EQ(events[1].path, one.path("d"));
    EXPECT_EQ(events[1].flags, kItemCreated | kItemIsDir);
    EXPECT_LT(events[0].id, events[1].id);
    const auto others = collect(journal, second);
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].path, two.path("b"));
    journal.unregisterReader(first);
    journal.unregisterReader(second);
}

TEST(EventJournal, AReaderFromBeforeWhatWasForgottenGetsMustScan) {
    TemporaryTree tree;
    ZedEventJournal journal(false);
    const auto start = journal.currentEventId();
    const auto first = journal.registerReader({tree.root()}, start, {});
    tree.touch("a");
    collect(journal, first);
    journal.unregisterReader(first);  // nobody needs "a" any more
    const auto late = journal.registerReader({tree.root()}, start, {});
    const auto events = collect(journal, late);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].flags & kMustScanSubDirs, kMustScanSubDirs);
    journal.unregisterReader(late);
}

// Runs `body` on a thread of its own and answers whether it returned within a generous time. A
// body that did not is deadlocked for good: the process cannot be taken down around it, so it
// ends here with the failure.
bool returns(const std::function<void()>& body, const char* what) {
    auto done = std::make_shared<std::promise<void>>();
    std::thread([body, done] {
        body();
        done->set_value();
    }).detach();
    if (done->get_future().wait_for(std::chrono::seconds(60)) == std::future_status::ready) {
        return true;
    }
    std::fprintf(stderr, "%s did not return: deadlocked\n", what);
    std::_Exit(1);
}

// A listener may end another reader, as a stream's listener does when it takes the last
// reference to another watcher's stream, whatever the journal was doing when it called it.
TEST(EventJournal, AListenerMayEndAnotherReader) {
    const std::pair<const char*, bool> triggers[] = {{"drain", true}, {"unregisterReader", false}};
    for (const auto& [trigger, draining] : triggers) {
        TemporaryTree listened;
        TemporaryTree ended;
        TemporaryTree other;
        ZedEventJournal journal(false, ZedEventJournal::kDefaultCapacity,
                                ZedEventSourceRouter::Choice::inotifyOnly);
        const auto since = journal.currentEventId();
        const auto endedReader = journal.registerReader({ended.root()}, since, {});
        const auto otherReader = journal.registerReader({other.root()}, since, {});
        std::atomic<bool> endedByListener{false};
        const auto listenedReader = journal.registerReader({listened.root()}, since, [&] {
            if (!endedByListener.exchange(true)) {
                journal.unregisterReader(endedReader);
            }
        });
        listened.touch("change");
        ASSERT_TRUE(returns(
            [&, draining = draining] {
                if (draining) {
                    journal.drain();
                } else {
                    journal.unregisterReader(otherReader);  // reads what the kernel holds
                }
            },
            trigger));
        EXPECT_TRUE(endedByListener) << trigger;
        EXPECT_EQ(journal.sourceOf(ended.root()), "") << trigger;
        journal.unregisterReader(listenedReader);
        journal.unregisterReader(otherReader);
    }
}

}  // namespace

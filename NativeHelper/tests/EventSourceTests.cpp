#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/events/ZedDirectoryPaths.h"
#include "platform/events/ZedEventFlags.h"
#include "platform/events/ZedEventJournal.h"
#include "platform/events/ZedFanotifyEvent.h"
#include "platform/events/ZedWatchTable.h"

namespace {

using namespace ZedEventFlags;
using Choice = ZedEventSourceRouter::Choice;

std::string temporaryDirectory() {
    char pattern[] = "/tmp/vtnative-source-XXXXXX";
    return mkdtemp(pattern);
}

void touch(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0) << path;
    close(fd);
}

void makeDirectories(const std::string& path) {
    std::filesystem::create_directories(path);
}

// Every test runs on both kernel facilities: fanotify where this process may use it (as root),
// inotify always.
class EventSources : public ::testing::TestWithParam<Choice> {
  protected:
    void SetUp() override {
        base_ = temporaryDirectory();
        root_ = base_ + "/root";
        makeDirectories(root_);
        journal_ =
            std::make_unique<ZedEventJournal>(false, ZedEventJournal::kDefaultCapacity, GetParam());
    }
    void TearDown() override {
        for (const auto reader : readers_) {
            journal_->unregisterReader(reader);
        }
        journal_.reset();
        std::filesystem::remove_all(base_);
    }

    // False when the facility under test cannot watch here (fanotify without the privilege).
    bool watch(const std::string& root) {
        readers_.push_back(journal_->registerReader({root}, journal_->currentEventId(), {}));
        const std::string expected = GetParam() == Choice::inotifyOnly ? "inotify" : "fanotify";
        return journal_->sourceOf(root) == expected;
    }

    std::vector<ZedEventJournal::Event> events() {
        journal_->drain();
        std::uint64_t position = 0;
        return journal_->collect(readers_.back(), position);
    }

    static std::uint32_t flagsOf(const std::vector<ZedEventJournal::Event>& events,
                                 const std::string& path) {
        std::uint32_t flags = 0;
        for (const auto& event : events) {
            if (event.path == path) {
                flags |= event.flags;
            }
        }
        return flags;
    }

    static bool anyMustScan(const std::vector<ZedEventJournal::Event>& events) {
        for (const auto& event : events) {
            if (event.flags & kMustScanSubDirs) {
                return true;
            }
        }
        return false;
    }

    std::string base_;
    std::string root_;
    std::unique_ptr<ZedEventJournal> journal_;
    std::vector<std::uint64_t> readers_;
};

#define WATCH_OR_SKIP(root)                                          \
    if (!watch(root)) {                                              \
        GTEST_SKIP() << "fanotify is not available to this process"; \
    }

TEST_P(EventSources, KindsOfChangeCarryTheirItemKinds) {
    touch(root_ + "/file");
    makeDirectories(root_ + "/dir");
    WATCH_OR_SKIP(root_);
    std::ofstream(root_ + "/file", std::ios::app) << "more";
    ASSERT_EQ(chmod((root_ + "/dir").c_str(), 0700), 0);
    ASSERT_EQ(symlink("file", (root_ + "/link").c_str()), 0);
    ASSERT_EQ(rename((root_ + "/file").c_str(), (root_ + "/moved").c_str()), 0);
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, root_ + "/file") & ~kItemIsFile, kItemModified | kItemRenamed);
    EXPECT_EQ(flagsOf(seen, root_ + "/dir"), kItemInodeMetaMod | kItemIsDir);
    EXPECT_EQ(flagsOf(seen, root_ + "/moved"), kItemRenamed | kItemIsFile);
    EXPECT_EQ(flagsOf(seen, root_ + "/link"), kItemCreated | kItemIsSymlink);
    EXPECT_FALSE(anyMustScan(seen));
    // What is gone when its event is read has no kind left to find but the kernel's.
    ASSERT_EQ(unlink((root_ + "/link").c_str()), 0);
    ASSERT_EQ(rmdir((root_ + "/dir").c_str()), 0);
    const auto removed = events();
    EXPECT_EQ(flagsOf(removed, root_ + "/link"), kItemRemoved | kItemIsFile);
    EXPECT_EQ(flagsOf(removed, root_ + "/dir"), kItemRemoved | kItemIsDir);
}

TEST_P(EventSources, ATreeOlderThanTheWatchIsRemovedInPlace) {
    makeDirectories(root_ + "/a/b/c");
    touch(root_ + "/a/b/c/f");
    touch(root_ + "/a/g");
    WATCH_OR_SKIP(root_);
    std::filesystem::remove_all(root_ + "/a");
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, root_ + "/a/b/c/f"), kItemRemoved | kItemIsFile);
    EXPECT_EQ(flagsOf(seen, root_ + "/a/g"), kItemRemoved | kItemIsFile);
    EXPECT_EQ(flagsOf(seen, root_ + "/a/b/c") & (kItemRemoved | kItemIsDir),
              kItemRemoved | kItemIsDir);
    EXPECT_EQ(flagsOf(seen, root_ + "/a") & (kItemRemoved | kItemIsDir), kItemRemoved | kItemIsDir);
    EXPECT_FALSE(anyMustScan(seen));
}

TEST_P(EventSources, FreshDirectoriesAreFollowedAtOnce) {
    WATCH_OR_SKIP(root_);
    for (int i = 0; i < 20; ++i) {
        const std::string directory = root_ + "/r" + std::to_string(i) + "/a/b";
        makeDirectories(directory);
        touch(directory + "/f");
    }
    const auto seen = events();
    for (int i = 0; i < 20; ++i) {
        const std::string file = root_ + "/r" + std::to_string(i) + "/a/b/f";
        EXPECT_EQ(flagsOf(seen, file), kItemCreated | kItemIsFile) << file;
    }
}

TEST_P(EventSources, ADirectoryMovedInKeepsReportingUnderItsNewName) {
    const std::string outside = base_ + "/outside";
    makeDirectories(outside + "/d");
    WATCH_OR_SKIP(root_);
    touch(outside + "/d/before");
    ASSERT_EQ(rename((outside + "/d").c_str(), (root_ + "/d").c_str()), 0);
    touch(root_ + "/d/after");
    makeDirectories(root_ + "/d/sub");
    touch(root_ + "/d/sub/deep");
    ASSERT_EQ(rename((root_ + "/d").c_str(), (root_ + "/e").c_str()), 0);
    touch(root_ + "/e/sub/later");
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, outside + "/d/before"), 0u);
    EXPECT_EQ(flagsOf(seen, root_ + "/d") & (kItemRenamed | kItemIsDir), kItemRenamed | kItemIsDir);
    EXPECT_EQ(flagsOf(seen, root_ + "/e"), kItemRenamed | kItemIsDir);
    if (GetParam() == Choice::automatic) {
        // fanotify names each event; inotify leaves what the moved directory held before its
        // watch existed to the rescan that the rename asks for.
        EXPECT_EQ(flagsOf(seen, root_ + "/e/sub/later"), kItemCreated | kItemIsFile);
        EXPECT_NE(flagsOf(seen, root_ + "/d/after") | flagsOf(seen, root_ + "/e/after"), 0u);
        EXPECT_NE(flagsOf(seen, root_ + "/d/sub/deep") | flagsOf(seen, root_ + "/e/sub/deep"), 0u);
    }
    touch(root_ + "/e/sub/watched");
    EXPECT_EQ(flagsOf(events(), root_ + "/e/sub/watched"), kItemCreated | kItemIsFile);
    ASSERT_EQ(rename((root_ + "/e").c_str(), (outside + "/gone").c_str()), 0);
    touch(outside + "/gone/unseen");
    const auto after = events();
    EXPECT_EQ(flagsOf(after, root_ + "/e"), kItemRenamed | kItemIsDir);
    EXPECT_EQ(flagsOf(after, root_ + "/e/unseen"), 0u);
    EXPECT_EQ(flagsOf(after, outside + "/gone/unseen"), 0u);
}

TEST_P(EventSources, ARootThatVanishesIsWatchedAgainWhenItReturns) {
    WATCH_OR_SKIP(root_);
    std::filesystem::remove_all(root_);
    const auto gone = events();
    EXPECT_EQ(flagsOf(gone, root_) & kRootChanged, kRootChanged);
    makeDirectories(root_ + "/d");
    touch(root_ + "/d/f");
    touch(root_ + "/g");
    const auto back = events();
    EXPECT_EQ(flagsOf(back, root_) & (kItemCreated | kItemIsDir), kItemCreated | kItemIsDir);
    EXPECT_EQ(flagsOf(back, root_ + "/d/f"), kItemCreated | kItemIsFile);
    EXPECT_EQ(flagsOf(back, root_ + "/g"), kItemCreated | kItemIsFile);
    touch(root_ + "/later");
    EXPECT_EQ(flagsOf(events(), root_ + "/later"), kItemCreated | kItemIsFile);
}

TEST_P(EventSources, ARootWhoseAncestorMovesIsWatchedAgainAtItsPath) {
    const std::string root = base_ + "/outer/inner/root";
    makeDirectories(root + "/d");
    WATCH_OR_SKIP(root);
    ASSERT_EQ(rename((base_ + "/outer").c_str(), (base_ + "/moved").c_str()), 0);
    touch(base_ + "/moved/inner/root/d/stale");
    const auto moved = events();
    EXPECT_EQ(flagsOf(moved, root) & kRootChanged, kRootChanged);
    EXPECT_EQ(flagsOf(moved, root + "/d/stale"), 0u);
    makeDirectories(root + "/e");
    touch(root + "/e/fresh");
    touch(base_ + "/moved/inner/root/d/later");
    const auto back = events();
    EXPECT_EQ(flagsOf(back, root + "/e/fresh"), kItemCreated | kItemIsFile);
    EXPECT_EQ(flagsOf(back, root + "/d/later"), 0u);
}

TEST_P(EventSources, ARootMadeAfterTheWatchIsWatchedFromItsCreation) {
    const std::string later = root_ + "/x/y/later";
    WATCH_OR_SKIP(later);
    makeDirectories(later + "/a/b");
    touch(later + "/a/b/f");
    touch(root_ + "/x/beside");
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, later + "/a/b/f"), kItemCreated | kItemIsFile);
    EXPECT_EQ(flagsOf(seen, root_ + "/x/beside"), 0u);
    touch(later + "/g");
    EXPECT_EQ(flagsOf(events(), later + "/g"), kItemCreated | kItemIsFile);
}

TEST_P(EventSources, ARootNamedThroughALinkReportsUnderThatName) {
    const std::string link = base_ + "/link";
    ASSERT_EQ(symlink(root_.c_str(), link.c_str()), 0);
    WATCH_OR_SKIP(link);
    makeDirectories(root_ + "/d");
    touch(root_ + "/d/f");
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, link + "/d/f"), kItemCreated | kItemIsFile);
    EXPECT_EQ(flagsOf(seen, root_ + "/d/f"), 0u);
}

TEST_P(EventSources, AFileSystemMountedInsideIsFollowed) {
    WATCH_OR_SKIP(root_);
    const std::string point = root_ + "/mnt";
    makeDirectories(point);
    if (mount("vtnative-test", point.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << strerror(errno);
    }
    struct Unmount {
        std::string point;
        ~Unmount() { umount2(point.c_str(), MNT_DETACH); }
    } unmountAtTheEnd{point};
    const auto mounted = events();
    ASSERT_EQ(flagsOf(mounted, point) & (kMount | kMustScanSubDirs | kUserDropped),
              kMount | kMustScanSubDirs);
    touch(point + "/f");
    EXPECT_EQ(flagsOf(events(), point + "/f"), kItemCreated | kItemIsFile);
    // Watching never keeps the user from unmounting.
    ASSERT_EQ(umount2(point.c_str(), 0), 0);
    EXPECT_EQ(flagsOf(events(), point) & kUnmount, kUnmount);
    // The directory beneath is back in view, on the root's own file system.
    touch(point + "/g");
    EXPECT_EQ(flagsOf(events(), point + "/g"), kItemCreated | kItemIsFile);
}

// The kernel confirms each removed watch with an event of its own: removing a tree of more
// directories than its queue holds must not overflow it, or every other root would be rescanned.
TEST_P(EventSources, RemovingABigTreeLeavesOtherRootsAlone) {
    long limit = 16384;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    const std::string big = base_ + "/big";
    makeDirectories(big);
    for (long i = 0; i < limit + 200; ++i) {
        ASSERT_EQ(mkdir((big + "/d" + std::to_string(i)).c_str(), 0755), 0);
    }
    WATCH_OR_SKIP(root_);
    const auto bigReader = journal_->registerReader({big}, journal_->currentEventId(), {});
    journal_->unregisterReader(bigReader);
    touch(root_ + "/after");
    const auto seen = events();
    EXPECT_FALSE(anyMustScan(seen));
    EXPECT_EQ(flagsOf(seen, root_ + "/after"), kItemCreated | kItemIsFile);
}

// Beyond the kernel's queue limit (16384 events by default), with nobody reading until then.
TEST_P(EventSources, AFullKernelQueueBecomesMustScanOnTheRoot) {
    WATCH_OR_SKIP(root_);
    const std::string limitFile = GetParam() == Choice::inotifyOnly
                                      ? "/proc/sys/fs/inotify/max_queued_events"
                                      : "/proc/sys/fs/fanotify/max_queued_events";
    long limit = 16384;
    std::ifstream(limitFile) >> limit;
    for (long i = 0; i < limit + 100; ++i) {
        touch(root_ + "/f" + std::to_string(i));
    }
    const auto seen = events();
    EXPECT_EQ(flagsOf(seen, root_) & (kMustScanSubDirs | kKernelDropped),
              kMustScanSubDirs | kKernelDropped);
    // Reading goes on normally after the overflow.
    touch(root_ + "/after");
    EXPECT_EQ(flagsOf(events(), root_ + "/after"), kItemCreated | kItemIsFile);
}

INSTANTIATE_TEST_SUITE_P(Facilities, EventSources,
                         ::testing::Values(Choice::automatic, Choice::inotifyOnly),
                         [](const auto& info) {
                             return info.param == Choice::inotifyOnly ? "inotify" : "fanotify";
                         });

// Builds one fanotify event with a directory-and-name record, as the kernel lays it out.
std::vector<char> eventBytes(std::uint32_t handleBytes, const std::string& name,
                             std::size_t recordPadding = 0) {
    std::vector<char> record(sizeof(fanotify_event_info_header) + sizeof(__kernel_fsid_t) + 8 +
                             handleBytes + name.size() + 1 + recordPadding);
    fanotify_event_info_header header{FAN_EVENT_INFO_TYPE_DFID_NAME, 0,
                                      static_cast<std::uint16_t>(record.size())};
    std::memcpy(record.data(), &header, sizeof header);
    char* handle = record.data() + sizeof header + sizeof(__kernel_fsid_t);
    std::memcpy(handle, &handleBytes, sizeof handleBytes);
    std::memcpy(handle + 8 + handleBytes, name.c_str(), name.size() + 1);
    fanotify_event_metadata metadata{};
    metadata.event_len = static_cast<std::uint32_t>(sizeof metadata + record.size());
    metadata.vers = FANOTIFY_METADATA_VERSION;
    metadata.metadata_len = sizeof metadata;
    metadata.mask = FAN_CREATE;
    metadata.fd = FAN_NOFD;
    std::vector<char> bytes(metadata.event_len);
    std::memcpy(bytes.data(), &metadata, sizeof metadata);
    std::memcpy(bytes.data() + sizeof metadata, record.data(), record.size());
    return bytes;
}

TEST(FanotifyEvent, ReadsADirectoryAndName) {
    const auto bytes = eventBytes(8, "name", 3);
    std::size_t length = 0;
    const auto event = ZedFanotifyEvent::parse(bytes.data(), bytes.size(), length);
    ASSERT_TRUE(event);
    EXPECT_EQ(length, bytes.size());
    EXPECT_EQ(event->mask, FAN_CREATE);
    ASSERT_TRUE(event->entry);
    EXPECT_EQ(event->entry->name, "name");
    EXPECT_EQ(event->entry->directory.key.size(), sizeof(__kernel_fsid_t) + 8 + 8);
    EXPECT_EQ(event->entry->directory.fileSystemKey.size(), sizeof(__kernel_fsid_t));
    EXPECT_FALSE(event->renamedTo);
    EXPECT_FALSE(event->object);
}

TEST(FanotifyEvent, RefusesMalformedBytesWithoutReadingPastThem) {
    std::size_t length = 0;
    auto bytes = eventBytes(8, "name");
    // Shorter than the event claims: no whole event to read.
    EXPECT_FALSE(ZedFanotifyEvent::parse(bytes.data(), bytes.size() - 1, length));
    EXPECT_EQ(length, 0u);
    // A handle longer than its record.
    auto tooLong = eventBytes(8, "name");
    const std::uint32_t huge = 4000;
    std::memcpy(tooLong.data() + sizeof(fanotify_event_metadata) +
                    sizeof(fanotify_event_info_header) + sizeof(__kernel_fsid_t),
                &huge, sizeof huge);
    EXPECT_FALSE(ZedFanotifyEvent::parse(tooLong.data(), tooLong.size(), length));
    EXPECT_EQ(length, tooLong.size());  // skipped whole, the next event can still be read
    // A name without its terminator.
    auto unterminated = eventBytes(8, "name");
    unterminated.back() = 'x';
    EXPECT_FALSE(ZedFanotifyEvent::parse(unterminated.data(), unterminated.size(), length));
    // A record whose length is below its header's.
    auto shortRecord = eventBytes(8, "name");
    const std::uint16_t two = 2;
    std::memcpy(shortRecord.data() + sizeof(fanotify_event_metadata) + 2, &two, sizeof two);
    EXPECT_FALSE(ZedFanotifyEvent::parse(shortRecord.data(), shortRecord.size(), length));
    // An event length below the metadata's.
    auto tiny = eventBytes(8, "name");
    const std::uint32_t four = 4;
    std::memcpy(tiny.data(), &four, sizeof four);
    EXPECT_FALSE(ZedFanotifyEvent::parse(tiny.data(), tiny.size(), length));
    EXPECT_EQ(length, 0u);
}

TEST(DirectoryPaths, AMoveTakesKnownDescendantsAlong) {
    ZedDirectoryPaths paths;
    paths.learn("a", "/r/a");
    paths.learn("b", "/r/a/b");
    paths.learn("ab", "/r/ab");
    paths.moved("a", "/r/a", "/r/z");
    EXPECT_EQ(*paths.find("a"), "/r/z");
    EXPECT_EQ(*paths.find("b"), "/r/z/b");
    EXPECT_EQ(*paths.find("ab"), "/r/ab");
    paths.forget("b");
    EXPECT_EQ(paths.find("b"), nullptr);
}

TEST(DirectoryPaths, PastItsCapacityItStartsAfresh) {
    ZedDirectoryPaths paths(2);
    paths.learn("a", "/a");
    paths.learn("b", "/b");
    paths.learn("a", "/a2");
    EXPECT_EQ(paths.size(), 2u);
    paths.learn("c", "/c");
    EXPECT_EQ(paths.size(), 1u);
    EXPECT_EQ(*paths.find("c"), "/c");
}

TEST(WatchTable, PathsFollowTheirParents) {
    ZedWatchTable watches;
    watches.add(1, ZedWatchTable::kNoParent, "/r");
    watches.add(2, 1, "a");
    watches.add(3, 2, "b");
    watches.add(4, ZedWatchTable::kNoParent, "/");
    watches.add(5, 4, "top");
    EXPECT_EQ(watches.pathOf(3), "/r/a/b");
    EXPECT_EQ(watches.pathOf(5), "/top");
    EXPECT_EQ(watches.find("/r/a"), 2);
    EXPECT_FALSE(watches.find("/r/x"));
    // A rename moves the whole subtree by one entry.
    EXPECT_TRUE(watches.move("/r/a", 1, "z"));
    EXPECT_EQ(watches.pathOf(3), "/r/z/b");
    EXPECT_FALSE(watches.move("/r/a", 1, "y"));
    // A parent gone leaves its children without a path, and they go at the next sweep.
    EXPECT_TRUE(watches.erase(2));
    EXPECT_FALSE(watches.pathOf(3));
    const auto removed = watches.eraseIf([](const std::string& path) { return path == "/top"; });
    EXPECT_EQ(std::set<int>(removed.begin(), removed.end()), (std::set<int>{3, 5}));
    EXPECT_EQ(watches.size(), 2u);
}

}  // namespace

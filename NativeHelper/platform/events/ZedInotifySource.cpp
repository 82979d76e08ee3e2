#include "platform/events/ZedInotifySource.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <limits.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "Categories/ZedPathComponents.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "platform/events/ZedEventFlags.h"
#include "platform/events/ZedItemKind.h"
#include "platform/events/ZedReadUntilEmpty.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM |
                                     IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                                     IN_DONT_FOLLOW | IN_EXCL_UNLINK;
// Well below the kernel's default queue of 16384 events.
constexpr std::size_t kRemovalsPerRead = 4096;

bool isDirectoryEntry(const std::string& path, unsigned char type) {
    if (type != DT_UNKNOWN) {
        return type == DT_DIR;
    }
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Whether `top` is on a file system whose directories count their subdirectories in their
// link count (`device` receives its device): a directory with two links there has none, and
// need not be listed to find them, as find(1) knows.
bool countsSubdirectories(const std::string& top, dev_t& device) {
    struct statfs fileSystem {};
    struct stat status {};
    if (statfs(top.c_str(), &fileSystem) != 0 || stat(top.c_str(), &status) != 0) {
        return false;
    }
    device = status.st_dev;
    switch (fileSystem.f_type) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            return true;
        default:
            return false;
    }
}

bool hasNoSubdirectories(const std::string& directory, dev_t device) {
    struct stat status {};
    return lstat(directory.c_str(), &status) == 0 && status.st_dev == device &&
           status.st_nlink == 2;
}

// Calls `entry` with the name and type of each entry of a directory. Reads the kernel's
// listing straight, a large part of the time it takes to watch a big tree.
template <typename Entry>
void listDirectory(const std::string& directory, Entry entry) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t length = getdents64(fd, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* listed = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += listed->d_reclen;
            if (strcmp(listed->d_name, ".") != 0 && strcmp(listed->d_name, "..") != 0) {
                entry(listed->d_name, listed->d_type);
            }
        }
    }
    close(fd);
}

}  // namespace

ZedInotifySource::ZedInotifySource(Sink sink, Drained drained)
    : ZedEventSource(std::move(sink), std::move(drained), inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to start file system events: %s",
                    strerror(errno));
    }
}

ZedInotifySource::~ZedInotifySource() {
    stopReading();
}

bool ZedInotifySource::addRoot(const std::string& root) {
    if (fd_ < 0) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (roots_[root]++ == 0) {
        awaitRoot(root);
        mountsInside_[root] = mountsInside(mounts_.read(), root);
    }
    return true;
}

void ZedInotifySource::removeRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    const auto found = roots_.find(root);
    if (found == roots_.end() || --found->second > 0) {
        return;
    }
    roots_.erase(found);
    awaitedRoots_.erase(root);
    mountsInside_.erase(root);
    forgetTree(root, Forget::unrootedWatches);
    forgetIdleAncestors();
    drainLocked();  // removes the watches, reading between batches of removals
}

void ZedInotifySource::drainLocked() {
    if (fd_ < 0) {
        return;
    }
    do {
        ZedReadUntilEmpty(
            fd_, buffer_.get(), kReadBufferSize, [&](const char* bytes, std::size_t length) {
                for (std::size_t offset = 0; offset < length;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(bytes + offset);
                    handle(*event);
                    offset += sizeof(inotify_event) + event->len;
                }
            });
        forgetUnpairedMoves();
    } while (removeSomeWatches());
}

void ZedInotifySource::handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
        overflowed();
        return;
    }
    const auto watched = watches_.pathOf(event.wd);
    if (!watched) {
        return;
    }
    const std::string& directory = *watched;
    if (event.mask & IN_IGNORED) {
        watches_.erase(event.wd);
        return;
    }
    if (event.mask & IN_UNMOUNT) {
        emit(directory, ZedEventFlags::kUnmount | ZedEventFlags::kItemIsDir);
        return;
    }
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        watchedDirectoryLeft(directory);
        return;
    }
    const std::string path =
        event.len ? ZedPathComponents::joined(directory, event.name) : directory;
    const bool isDirectory = event.mask & IN_ISDIR;
    if (!isUnderRoot(path) || awaitedRoots_.count(path)) {
        // Outside the roots only the ancestors of a vanished root are watched.
        if (isDirectory && (event.mask & (IN_CREATE | IN_MOVED_TO))) {
            awaitRootsUnder(path);
        }
        return;
    }
    const std::uint32_t kind = ZedItemKind::of(path, isDirectory);
    if (event.mask & IN_CREATE) {
        emit(path, ZedEventFlags::kItemCreated | kind);
        if (isDirectory) {
            watchTree(path, true, {event.wd, event.name});
        }
    }
    if (event.mask & IN_DELETE) {
        emit(path, ZedEventFlags::kItemRemoved | kind);
    }
    if (event.mask & IN_MODIFY) {
        emit(path, ZedEventFlags::kItemModified | kind);
    }
    if (event.mask & IN_ATTRIB) {
        emit(path, ZedEventFlags::kItemInodeMetaMod | kind);
    }
    if (event.mask & (IN_MOVED_FROM | IN_MOVED_TO)) {
        emit(path, ZedEventFlags::kItemRenamed | kind);
        if (isDirectory && (event.mask & IN_MOVED_FROM)) {
            movedAway_[event.cookie] = path;
        } else if (isDirectory) {
            handleMovedDirectory(path, event.cookie, {event.wd, event.name});
        }
    }
}

// A directory that arrives by a move inside the watched trees keeps its watches under the new
// name; one that comes from elsewhere is watched afresh (the caller rescans it as renamed).
void ZedInotifySource::handleMovedDirectory(const std::string& path, std::uint32_t cookie,
                                            const Place& place) {
    const auto from = movedAway_.find(cookie);
    // It may come from outside, or have moved on before it could be watched: then it is
    // watched now (the caller rescans it as renamed).
    if (from == movedAway_.end() || !renameTree(from->second, path, place)) {
        watchTree(path, false, place);
    }
    if (from != movedAway_.end()) {
        movedAway_.erase(from);
    }
}

// A watch stays on the directory it was given, beneath anything mounted on it later: a new
// mount inside a root is watched in its own right and rescanned, and the directory a mount
// leaves behind is watched again and rescanned, since what it holds is new to the tree.
void ZedInotifySource::followMounts() {
    const auto mounts = mounts_.read();
    for (auto& [root, before] : mountsInside_) {
        auto now = mountsInside(mounts, root);
        for (const auto& point : now) {
            if (!before.count(point)) {
                watchTree(point, false, {ZedWatchTable::kNoParent, point});
                emit(point, ZedEventFlags::kMount | ZedEventFlags::kMustScanSubDirs |
                                ZedEventFlags::kItemIsDir);
            }
        }
        for (const auto& point : before) {
            if (!now.count(point)) {
                emit(point, ZedEventFlags::kUnmount | ZedEventFlags::kItemIsDir);
                watchTree(point, false, {ZedWatchTable::kNoParent, point});
                emit(point, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kItemIsDir);
            }
        }
        before = std::move(now);
    }
}

// The mount points inside `root`, named under the root as the caller gave it.
std::set<std::string> ZedInotifySource::mountsInside(
    const std::vector<ZedMountTable::Mount>& mounts, const std::string& root) {
    char canonical[PATH_MAX];
    if (!realpath(root.c_str(), canonical)) {
        return {};
    }
    std::set<std::string> points;
    for (const auto& point : ZedMountWatch::inside(mounts, canonical)) {
        points.insert(ZedPathComponents::rebased(point, canonical, root));
    }
    return points;
}

// Events were lost: every root is rescanned by the caller, and directories made meanwhile get
// their watches now.
void ZedInotifySource::overflowed() {
    ZedLogWarn(kLogMask, ZedLogContextPlatform,
               "file system event queue overflowed; asking for a rescan of every root");
    for (const auto& [root, count] : roots_) {
        emit(root, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kKernelDropped |
                       ZedEventFlags::kItemIsDir);
    }
    for (const auto& [root, count] : roots_) {
        awaitRoot(root);
    }
}

// A watched directory was deleted or moved away. Its watches would report the moved tree's
// life under the old names, so they go; a root among them is awaited at its old place.
void ZedInotifySource::watchedDirectoryLeft(const std::string& directory) {
    if (roots_.count(directory)) {
        emit(directory, ZedEventFlags::kRootChanged | ZedEventFlags::kItemIsDir);
        forgetTree(directory, Forget::allWatches);
        awaitRoot(directory);
    } else if (!isUnderRoot(directory)) {
        // An ancestor of roots: they left their paths with it.
        forgetTree(directory, Forget::allWatches);
        for (const auto& [root, count] : roots_) {
            if (ZedPathComponents::contains(directory, root)) {
                if (!awaitedRoots_.count(root)) {
                    emit(root, ZedEventFlags::kRootChanged | ZedEventFlags::kItemIsDir);
                }
                awaitRoot(root);
            }
        }
    }
}

// Watches a root's tree, or, while the root does not exist, its nearest existing ancestor, so
// that the root's creation is seen. A root found to exist now is reported as created with all
// it holds: whatever was made in it before its watch existed would be lost otherwise.
void ZedInotifySource::awaitRoot(const std::string& root) {
    const bool awaited = awaitedRoots_.erase(root) > 0;
    struct stat status {};
    if (stat(root.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        if (awaited) {
            emit(root, ZedEventFlags::kItemCreated | ZedEventFlags::kItemIsDir);
        }
        watchTree(root, awaited, {ZedWatchTable::kNoParent, root});
        watchAncestors(root);
        forgetIdleAncestors();
        return;
    }
    awaitedRoots_.insert(root);
    for (std::string ancestor = root; ancestor.size() > 1 && ancestor.front() == '/';) {
        ancestor = ZedPathComponents::parentOf(ancestor);
        if (watchDirectory(ancestor, {ZedWatchTable::kNoParent, ancestor}) >= 0) {
            break;
        }
    }
    reportRefusedWatches();
}

// The directories above a root are watched for their own move or deletion only (added to
// whatever else their watch asks for): either takes the root away from its path.
void ZedInotifySource::watchAncestors(const std::string& root) {
    for (std::string ancestor = root; ancestor.size() > 1 && ancestor.front() == '/';) {
        ancestor = ZedPathComponents::parentOf(ancestor);
        const int watch = inotify_add_watch(
            fd_, ancestor.c_str(), IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR | IN_MASK_ADD);
        if (watch < 0) {
            continue;
        }
        watchesToRemove_.erase(watch);
        if (!watches_.pathOf(watch)) {
            watches_.add(watch, ZedWatchTable::kNoParent, ancestor);
        }
    }
}

void ZedInotifySource::awaitRootsUnder(const std::string& directory) {
    const std::vector<std::string> awaited(awaitedRoots_.begin(), awaitedRoots_.end());
    for (const auto& root : awaited) {
        if (ZedPathComponents::contains(directory, root)) {
            awaitRoot(root);
        }
    }
}

// Drops the watches that are neither in a root's tree nor above a root.
void ZedInotifySource::forgetIdleAncestors() {
    forgetWatches([this](const std::string& path) { return !isUnderOrAboveRoot(path); });
}

// The kernel confirms each removed watch with an event: removals go in batches the queue can
// hold, with reads between them (see drainLocked), or a big tree's removal would overflow it.
void ZedInotifySource::forgetWatches(const std::function<bool(const std::string& path)>& which) {
    for (const int watch : watches_.eraseIf(which)) {
        watchesToRemove_.insert(watch);
    }
}

bool ZedInotifySource::removeSomeWatches() {
    std::size_t removed = 0;
    while (!watchesToRemove_.empty() && removed < kRemovalsPerRead) {
        inotify_rm_watch(fd_, *watchesToRemove_.begin());
        watchesToRemove_.erase(watchesToRemove_.begin());
        ++removed;
    }
    return removed > 0;
}

void ZedInotifySource::watchTree(const std::string& top, bool reportContents, const Place& place) {
    struct Pending {
        std::string path;
        Place place;
    };
    // Checked after the watch is added: a subdirectory made later is reported by the watch.
    dev_t device = 0;
    const bool skipLeaves = !reportContents && countsSubdirectories(top, device);
    std::vector<Pending> pending{{top, place}};
    while (!pending.empty()) {
        const Pending directory = std::move(pending.back());
        pending.pop_back();
        const int watch = watchDirectory(directory.path, directory.place);
        if (watch < 0 || (skipLeaves && hasNoSubdirectories(directory.path, device))) {
            continue;
        }
        listDirectory(directory.path, [&](const char* name, unsigned char type) {
            if (!reportContents && type != DT_DIR && type != DT_UNKNOWN) {
                return;  // only directories matter to a walk that reports nothing
            }
            std::string path = ZedPathComponents::joined(directory.path, name);
            const bool isDirectory = isDirectoryEntry(path, type);
            if (reportContents) {
                emit(path, ZedEventFlags::kItemCreated | ZedItemKind::of(path, isDirectory));
            }
            if (isDirectory) {
                pending.push_back({std::move(path), {watch, name}});
            }
        });
    }
    reportRefusedWatches();
}

int ZedInotifySource::watchDirectory(const std::string& directory, const Place& place) {
    // A root may be named through a symbolic link; below it links are never followed.
    const std::uint32_t mask = roots_.count(directory) ? kWatchMask & ~IN_DONT_FOLLOW : kWatchMask;
    const int watch = inotify_add_watch(fd_, directory.c_str(), mask);
    if (watch >= 0) {
        watchesToRemove_.erase(watch);  // the same directory, watched again before its removal
        watches_.add(watch, place.parent, place.name);
        return watch;
    }
    if (errno == ENOSPC || errno == ENOMEM) {
        if (refusedWatches_++ == 0) {
            firstRefusedWatch_ = directory;
        }
        emit(directory, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kUserDropped |
                            ZedEventFlags::kItemIsDir);
    }
    return -1;
}

// Out of watches, every directory after the first is refused too: one line says so, not one
// line per directory.
void ZedInotifySource::reportRefusedWatches() {
    if (refusedWatches_ > 0) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "out of file system watches at (%s) and %zu more directories (see "
                   "/proc/sys/fs/inotify/max_user_watches); asking for a rescan of them",
                   firstRefusedWatch_.c_str(), refusedWatches_ - 1);
        refusedWatches_ = 0;
    }
}

void ZedInotifySource::forgetTree(const std::string& top, Forget how) {
    forgetWatches([&](const std::string& path) {
        return ZedPathComponents::contains(top, path) &&
               !(how == Forget::unrootedWatches && isUnderOrAboveRoot(path));
    });
}

// Returns false when no watch was at `from`.
bool ZedInotifySource::renameTree(const std::string& from, const std::string& to,
                                  const Place& place) {
    const bool moved = watches_.move(from, place.parent, place.name);
    auto held = std::move(heldBack_);
    heldBack_.clear();
    for (const auto& [path, flags] : held) {
        if (ZedPathComponents::contains(from, path)) {
            emit(ZedPathComponents::rebased(path, from, to), flags);
        } else {
            heldBack_.emplace_back(path, flags);
        }
    }
    return moved;
}

// A directory moved away with no arrival in the same read left the watched trees: its watches
// would otherwise report its new life under the old name.
void ZedInotifySource::forgetUnpairedMoves() {
    for (const auto& [cookie, path] : movedAway_) {
        forgetTree(path, Forget::allWatches);
    }
    movedAway_.clear();
    heldBack_.clear();
}

void ZedInotifySource::emit(const std::string& path, std::uint32_t flags) {
    for (const auto& [cookie, away] : movedAway_) {
        if (ZedPathComponents::contains(away, path)) {
            heldBack_.emplace_back(path, flags);
            return;
        }
    }
    sink_(path, flags);
}

bool ZedInotifySource::isUnderOrAboveRoot(const std::string& path) const {
    for (const auto& [root, count] : roots_) {
        if (ZedPathComponents::isUnderOrAbove(path, root)) {
            return true;
        }
    }
    return false;
}

bool ZedInotifySource::isUnderRoot(const std::string& path) const {
    for (const auto& [root, count] : roots_) {
        if (ZedPathComponents::contains(root, path)) {
            return true;
        }
    }
    return false;
}

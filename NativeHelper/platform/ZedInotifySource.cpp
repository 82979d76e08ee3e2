#include "ZedInotifySource.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "ZedEventFlags.h"
#include "ZedItemKind.h"
#include "ZedLog.h"
#include "ZedPathTree.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM |
                                     IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                                     IN_DONT_FOLLOW | IN_EXCL_UNLINK;
constexpr std::size_t kReadBufferSize = 256 * 1024;

bool isDirectoryEntry(const std::string& path, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) {
        return entry.d_type == DT_DIR;
    }
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

ZedInotifySource::ZedInotifySource(Sink sink, Drained drained)
    : sink_(std::move(sink)), drained_(std::move(drained)) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to start file system events: %s",
                    strerror(errno));
    }
}

ZedInotifySource::~ZedInotifySource() {
    stopReading();
    if (fd_ >= 0) {
        close(fd_);
    }
}

void ZedInotifySource::startReading() {
    reader_.start(fd_, [this] { drain(); });
}

void ZedInotifySource::stopReading() {
    reader_.stop();
}

bool ZedInotifySource::addRoot(const std::string& root) {
    if (fd_ < 0) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        if (roots_[root]++ == 0) {
            awaitRoot(root);
        }
    }
    drained_();
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
    forgetTree(root, Forget::unrootedWatches);
    forgetIdleAncestors();
}

void ZedInotifySource::drain() {
    {
        std::lock_guard lock(mutex_);
        drainLocked();
    }
    drained_();
}

void ZedInotifySource::drainLocked() {
    if (fd_ < 0) {
        return;
    }
    std::vector<char> buffer(kReadBufferSize);
    for (;;) {
        const ssize_t length = read(fd_, buffer.data(), buffer.size());
        if (length <= 0) {
            if (length < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + offset);
            handle(*event);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    forgetUnpairedMoves();
}

void ZedInotifySource::handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
        overflowed();
        return;
    }
    const auto watch = pathOfWatch_.find(event.wd);
    if (watch == pathOfWatch_.end()) {
        return;
    }
    const std::string directory = watch->second;
    if (event.mask & IN_IGNORED) {
        pathOfWatch_.erase(watch);
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
    const std::string path = event.len ? directory + "/" + event.name : directory;
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
            watchTree(path, true);
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
            handleMovedDirectory(path, event.cookie);
        }
    }
}

// A directory that arrives by a move inside the watched trees keeps its watches under the new
// name; one that comes from elsewhere is watched afresh (the caller rescans it as renamed).
void ZedInotifySource::handleMovedDirectory(const std::string& path, std::uint32_t cookie) {
    const auto from = movedAway_.find(cookie);
    if (from == movedAway_.end()) {
        watchTree(path, false);
        return;
    }
    renameTree(from->second, path);
    movedAway_.erase(from);
    // It may have arrived from outside and moved on before it could be watched: watch it now
    // (the caller rescans it as renamed).
    if (!isWatched(path)) {
        watchTree(path, false);
    }
}

bool ZedInotifySource::isWatched(const std::string& directory) const {
    for (const auto& [watch, path] : pathOfWatch_) {
        if (path == directory) {
            return true;
        }
    }
    return false;
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
        forgetTree(directory, Forget::allWatches);
        awaitRootsUnder(directory);
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
        watchTree(root, awaited);
        forgetIdleAncestors();
        return;
    }
    awaitedRoots_.insert(root);
    std::string ancestor = root;
    while (ancestor.size() > 1) {
        const auto slash = ancestor.find_last_of('/');
        ancestor = slash == 0 || slash == std::string::npos ? "/" : ancestor.substr(0, slash);
        if (watchDirectory(ancestor)) {
            return;
        }
    }
}

void ZedInotifySource::awaitRootsUnder(const std::string& directory) {
    const std::vector<std::string> awaited(awaitedRoots_.begin(), awaitedRoots_.end());
    for (const auto& root : awaited) {
        if (ZedPathTree::contains(directory, root)) {
            awaitRoot(root);
        }
    }
}

// Drops the watches outside every root that no awaited root needs any more.
void ZedInotifySource::forgetIdleAncestors() {
    for (auto watch = pathOfWatch_.begin(); watch != pathOfWatch_.end();) {
        const std::string& path = watch->second;
        bool needed = isUnderRoot(path);
        for (const auto& root : awaitedRoots_) {
            needed = needed || ZedPathTree::contains(path, root);
        }
        if (needed) {
            ++watch;
            continue;
        }
        inotify_rm_watch(fd_, watch->first);
        watch = pathOfWatch_.erase(watch);
    }
}

void ZedInotifySource::watchTree(const std::string& top, bool reportContents) {
    std::vector<std::string> pending{top};
    while (!pending.empty()) {
        const std::string directory = std::move(pending.back());
        pending.pop_back();
        if (!watchDirectory(directory)) {
            continue;
        }
        DIR* listing = opendir(directory.c_str());
        if (!listing) {
            continue;
        }
        while (const dirent* entry = readdir(listing)) {
            if (!strcmp(entry->d_name, ".") || !strcmp(entry->d_name, "..")) {
                continue;
            }
            const std::string path = directory + "/" + entry->d_name;
            const bool isDirectory = isDirectoryEntry(path, *entry);
            if (reportContents) {
                emit(path, ZedEventFlags::kItemCreated | ZedItemKind::of(path, isDirectory));
            }
            if (isDirectory) {
                pending.push_back(path);
            }
        }
        closedir(listing);
    }
}

bool ZedInotifySource::watchDirectory(const std::string& directory) {
    // A root may be named through a symbolic link; below it links are never followed.
    const std::uint32_t mask = roots_.count(directory) ? kWatchMask & ~IN_DONT_FOLLOW : kWatchMask;
    const int watch = inotify_add_watch(fd_, directory.c_str(), mask);
    if (watch >= 0) {
        pathOfWatch_[watch] = directory;
        return true;
    }
    if (errno == ENOSPC || errno == ENOMEM) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "out of file system watches at (%s); asking for a rescan", directory.c_str());
        emit(directory, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kUserDropped |
                            ZedEventFlags::kItemIsDir);
    }
    return false;
}

void ZedInotifySource::forgetTree(const std::string& top, Forget how) {
    for (auto watch = pathOfWatch_.begin(); watch != pathOfWatch_.end();) {
        const bool keep = !ZedPathTree::contains(top, watch->second) ||
                          (how == Forget::unrootedWatches && isUnderRoot(watch->second));
        if (keep) {
            ++watch;
            continue;
        }
        inotify_rm_watch(fd_, watch->first);
        watch = pathOfWatch_.erase(watch);
    }
}

void ZedInotifySource::renameTree(const std::string& from, const std::string& to) {
    for (auto& [watch, path] : pathOfWatch_) {
        if (ZedPathTree::contains(from, path)) {
            path = to + path.substr(from.size());
        }
    }
    auto held = std::move(heldBack_);
    heldBack_.clear();
    for (const auto& [path, flags] : held) {
        if (ZedPathTree::contains(from, path)) {
            emit(to + path.substr(from.size()), flags);
        } else {
            heldBack_.emplace_back(path, flags);
        }
    }
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
        if (ZedPathTree::contains(away, path)) {
            heldBack_.emplace_back(path, flags);
            return;
        }
    }
    sink_(path, flags);
}

bool ZedInotifySource::isUnderRoot(const std::string& path) const {
    for (const auto& [root, count] : roots_) {
        if (ZedPathTree::contains(root, path)) {
            return true;
        }
    }
    return false;
}

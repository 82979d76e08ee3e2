#include "ZedInotifySource.h"

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "ZedEventFlags.h"
#include "ZedLog.h"
#include "ZedPathTree.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
constexpr std::uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_MOVED_FROM |
                                     IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR |
                                     IN_DONT_FOLLOW | IN_EXCL_UNLINK;
constexpr std::size_t kReadBufferSize = 256 * 1024;

std::uint32_t kindOf(const std::string& path, bool isDirectory) {
    if (isDirectory) {
        return ZedEventFlags::kItemIsDir;
    }
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0) {
        if (S_ISLNK(status.st_mode)) {
            return ZedEventFlags::kItemIsSymlink;
        }
        if (S_ISDIR(status.st_mode)) {
            return ZedEventFlags::kItemIsDir;
        }
    }
    return ZedEventFlags::kItemIsFile;
}

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
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd_ < 0 || wakeFd_ < 0) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to start file system events: %s",
                    strerror(errno));
    }
}

ZedInotifySource::~ZedInotifySource() {
    stopReading();
    if (fd_ >= 0) {
        close(fd_);
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

void ZedInotifySource::startReading() {
    if (!reader_.joinable() && fd_ >= 0 && wakeFd_ >= 0) {
        reader_ = std::thread([this] { serve(); });
    }
}

void ZedInotifySource::stopReading() {
    if (!reader_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to wake the event reader: %s",
                    strerror(errno));
    }
    reader_.join();
}

void ZedInotifySource::serve() {
    pollfd watched[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0 && errno != EINTR) {
            ZedLogError(kLogMask, ZedLogContextPlatform, "event reader stops: %s", strerror(errno));
            return;
        }
        if (watched[1].revents) {
            return;
        }
        if (watched[0].revents) {
            drain();
        }
    }
}

void ZedInotifySource::addRoot(const std::string& root) {
    {
        std::lock_guard lock(mutex_);
        if (roots_[root]++ == 0) {
            watchTree(root, false);
        }
    }
    drained_();
}

void ZedInotifySource::removeRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    const auto found = roots_.find(root);
    if (found == roots_.end() || --found->second > 0) {
        return;
    }
    roots_.erase(found);
    forgetTree(root, Forget::unrootedWatches);
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
        if (roots_.count(directory)) {
            emit(directory, ZedEventFlags::kRootChanged | ZedEventFlags::kItemIsDir);
        }
        return;
    }
    const std::string path = event.len ? directory + "/" + event.name : directory;
    const bool isDirectory = event.mask & IN_ISDIR;
    const std::uint32_t kind = kindOf(path, isDirectory);
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
        watchTree(root, false);
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
                emit(path, ZedEventFlags::kItemCreated | kindOf(path, isDirectory));
            }
            if (isDirectory) {
                pending.push_back(path);
            }
        }
        closedir(listing);
    }
}

bool ZedInotifySource::watchDirectory(const std::string& directory) {
    const int watch = inotify_add_watch(fd_, directory.c_str(), kWatchMask);
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

#include "platform/events/ZedFanotifySource.h"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/fanotify.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "Categories/ZedPathComponents.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "platform/events/ZedEventFlags.h"
#include "platform/events/ZedItemKind.h"
#include "platform/events/ZedReadUntilEmpty.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;
constexpr unsigned int kInitFlags =
    FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK | FAN_REPORT_DFID_NAME_TARGET;
constexpr std::uint64_t kMarkMask =
    FAN_CREATE | FAN_DELETE | FAN_MODIFY | FAN_ATTRIB | FAN_RENAME | FAN_ONDIR;
// How long an event may wait for the deletion that tells where its directory was. The deletion
// is queued before its directory's handle goes stale, so it almost always comes in the same read.
constexpr std::chrono::seconds kPlacingTime{1};
// Directories remembered by handle; past this the memory is let go and handles decoded again.
constexpr std::size_t kKnownDirectories = 4096;

// The root with symbolic links resolved, and the nearest part of it that exists (what the mark
// is placed on when the root itself is missing, so that its creation is seen).
bool canonicalForm(const std::string& root, std::string& canonical, std::string& existing) {
    std::string head = root;
    std::string tail;
    for (;;) {
        char resolved[PATH_MAX];
        if (realpath(head.c_str(), resolved)) {
            existing = resolved;
            canonical =
                tail.empty() ? existing : ZedPathComponents::joined(existing, tail.substr(1));
            return true;
        }
        const auto slash = head.find_last_of('/');
        if (head.size() <= 1 || slash == std::string::npos) {
            return false;
        }
        tail = head.substr(slash) + tail;
        head = ZedPathComponents::parentOf(head);
    }
}

}  // namespace

std::unique_ptr<ZedFanotifySource> ZedFanotifySource::open(Sink sink, Drained drained) {
    const int fd = fanotify_init(kInitFlags, O_RDONLY | O_LARGEFILE | O_CLOEXEC);
    if (fd < 0) {
        ZedLogInfo(kLogMask, ZedLogContextPlatform,
                   "fanotify is not available (%s); directories are watched one by one",
                   strerror(errno));
        return nullptr;
    }
    return std::unique_ptr<ZedFanotifySource>(
        new ZedFanotifySource(fd, std::move(sink), std::move(drained)));
}

ZedFanotifySource::ZedFanotifySource(int fd, Sink sink, Drained drained)
    : ZedEventSource(std::move(sink), std::move(drained), fd), directories_(kKnownDirectories) {}

ZedFanotifySource::~ZedFanotifySource() {
    stopReading();
}

bool ZedFanotifySource::addRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    const auto known = roots_.find(root);
    if (known != roots_.end()) {
        ++known->second.count;
        return true;
    }
    Root entry;
    std::string existing;
    if (!canonicalForm(root, entry.canonical, existing)) {
        return false;
    }
    const auto mounts = mounts_.read();
    const auto own = markFileSystemOf(existing, mounts);
    if (!own) {
        return false;
    }
    entry.ownFileSystem = *own;
    entry.count = 1;
    // Every file system mounted inside the tree needs a mark of its own.
    for (const auto& mountPoint : ZedMountWatch::inside(mounts, entry.canonical)) {
        const auto key = markFileSystemOf(mountPoint, mounts);
        if (!key) {
            unmarkAll(entry);
            return false;
        }
        entry.mounts[mountPoint] = *key;
    }
    roots_.emplace(root, std::move(entry));
    return true;
}

void ZedFanotifySource::removeRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    const auto found = roots_.find(root);
    if (found == roots_.end() || --found->second.count > 0) {
        return;
    }
    unmarkAll(found->second);
    roots_.erase(found);
    if (roots_.empty()) {
        directories_.clear();
        unplaced_.clear();
    }
}

// A file system mounted or unmounted inside a root: its mark follows, and the caller hears of it
// (a new mount as must-scan, since all it holds is new to the tree).
void ZedFanotifySource::followMounts() {
    const auto mounts = mounts_.read();
    for (auto& [given, root] : roots_) {
        const auto inside = ZedMountWatch::inside(mounts, root.canonical);
        for (auto mount = root.mounts.begin(); mount != root.mounts.end();) {
            if (inside.count(mount->first)) {
                ++mount;
                continue;
            }
            emit(mount->first, ZedEventFlags::kUnmount | ZedEventFlags::kItemIsDir);
            unmark(mount->second);
            mount = root.mounts.erase(mount);
        }
        for (const auto& mountPoint : inside) {
            if (root.mounts.count(mountPoint)) {
                continue;
            }
            std::uint32_t flags =
                ZedEventFlags::kMount | ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kItemIsDir;
            if (const auto key = markFileSystemOf(mountPoint, mounts)) {
                root.mounts[mountPoint] = *key;
            } else {
                ZedLogWarn(kLogMask, ZedLogContextPlatform,
                           "changes inside (%s) are not seen until it is watched anew",
                           mountPoint.c_str());
                flags |= ZedEventFlags::kUserDropped;
            }
            emit(mountPoint, flags);
        }
    }
}

// The mark is placed through the file system's mount point, not through a descriptor: an open
// descriptor would keep the user from unmounting it.
std::optional<std::string> ZedFanotifySource::markFileSystemOf(
    const std::string& path, const std::vector<ZedMountTable::Mount>& mounts) {
    const auto key = fileSystemKeyOf(path);
    if (!key) {
        return std::nullopt;
    }
    const auto known = fileSystems_.find(*key);
    if (known != fileSystems_.end()) {
        ++known->second.roots;
        return key;
    }
    std::string mountPoint = path;
    for (const auto& mount : mounts) {
        if (ZedPathComponents::contains(mount.mountPoint, path) &&
            mount.mountPoint.size() < mountPoint.size() &&
            fileSystemKeyOf(mount.mountPoint) == key) {
            mountPoint = mount.mountPoint;
        }
    }
    if (!canDecodeHandles(mountPoint)) {
        ZedLogInfo(kLogMask, ZedLogContextPlatform,
                   "the file system of (%s) cannot turn handles back into paths; watching it "
                   "directory by directory",
                   path.c_str());
        return std::nullopt;
    }
    if (fanotify_mark(fd_, FAN_MARK_ADD | FAN_MARK_FILESYSTEM, kMarkMask, AT_FDCWD,
                      mountPoint.c_str()) != 0) {
        ZedLogInfo(kLogMask, ZedLogContextPlatform,
                   "fanotify refuses the file system of (%s): %s; watching it directory by "
                   "directory",
                   path.c_str(), strerror(errno));
        return std::nullopt;
    }
    fileSystems_.emplace(*key, FileSystem{mountPoint, 1});
    return key;
}

// Events name directories by handle; a file system that hands out handles it cannot open again
// (some overlays and network file systems) would leave every event without a place.
bool ZedFanotifySource::canDecodeHandles(const std::string& directory) {
    union {
        file_handle handle;
        char bytes[sizeof(file_handle) + MAX_HANDLE_SZ];
    } encoded{};
    encoded.handle.handle_bytes = MAX_HANDLE_SZ;
    int mountId = 0;
    if (name_to_handle_at(AT_FDCWD, directory.c_str(), &encoded.handle, &mountId, 0) != 0) {
        return false;
    }
    const int mountFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (mountFd < 0) {
        return false;
    }
    const int fd = open_by_handle_at(mountFd, &encoded.handle, O_PATH | O_CLOEXEC);
    close(mountFd);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

std::optional<std::string> ZedFanotifySource::fileSystemKeyOf(const std::string& path) {
    struct statfs status {};
    if (statfs(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(&status.f_fsid), sizeof status.f_fsid);
}

void ZedFanotifySource::unmarkAll(const Root& root) {
    unmark(root.ownFileSystem);
    for (const auto& [mountPoint, key] : root.mounts) {
        unmark(key);
    }
}

// A file system no longer mounted where it was has lost its mark with its last mount, or is out
// of reach: its events, if any still come, fall outside every root.
void ZedFanotifySource::unmark(const std::string& fileSystemKey) {
    const auto found = fileSystems_.find(fileSystemKey);
    if (found == fileSystems_.end() || --found->second.roots > 0) {
        return;
    }
    const std::string& mountPoint = found->second.mountPoint;
    if (fileSystemKeyOf(mountPoint) == fileSystemKey &&
        fanotify_mark(fd_, FAN_MARK_REMOVE | FAN_MARK_FILESYSTEM, kMarkMask, AT_FDCWD,
                      mountPoint.c_str()) != 0) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "unable to remove the fanotify mark on (%s): %s", mountPoint.c_str(),
                   strerror(errno));
    }
    fileSystems_.erase(found);
}

void ZedFanotifySource::drainLocked() {
    bool malformed = false;
    ZedReadUntilEmpty(
        fd_, buffer_.get(), kReadBufferSize, [&](const char* bytes, std::size_t length) {
            for (std::size_t offset = 0, size = 0; offset < length; offset += size) {
                const auto event = ZedFanotifyEvent::parse(bytes + offset, length - offset, size);
                if (size == 0) {
                    malformed = true;
                    break;
                }
                if (event) {
                    handle(*event);
                } else {
                    malformed = true;
                }
            }
        });
    if (malformed) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "fanotify sent events that could not be read; asking for a rescan");
        overflowed();
    }
    placeUnplaced();
    deleted_.clear();
}

void ZedFanotifySource::handle(const ZedFanotifyEvent& event) {
    if (event.mask & FAN_Q_OVERFLOW) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "file system event queue overflowed; asking for a rescan of every root");
        overflowed();
        return;
    }
    if (event.mask & FAN_RENAME) {
        handleRename(event);
        return;
    }
    if (!event.entry) {
        return;  // an object with no name left, such as a file's last link going
    }
    const std::string_view objectKey = event.object ? event.object->key : std::string_view();
    const std::string* directory = directoryOf(event.entry->directory);
    if (!directory) {
        setAside(*event.entry, event.mask, objectKey);
        return;
    }
    // Most events on a busy system are elsewhere: they end here, before any path is built. A
    // directory's deletion is remembered wherever it happens, to place what happened inside.
    const bool deletesDirectory = (event.mask & FAN_DELETE) && (event.mask & FAN_ONDIR);
    if (deletesDirectory || concernsRoots(*directory)) {
        handleEntry(event.mask, ZedPathComponents::joined(*directory, event.entry->name),
                    objectKey);
    }
}

void ZedFanotifySource::handleRename(const ZedFanotifyEvent& event) {
    if (!event.entry || !event.renamedTo) {
        return;
    }
    const bool isDirectory = event.mask & FAN_ONDIR;
    const auto from = entryPath(*event.entry);
    const auto to = entryPath(*event.renamedTo);
    if (isDirectory && event.object) {
        if (from && to) {
            directories_.moved(event.object->key, *from, *to);
        } else {
            // Where its known descendants went is unknown: learn them all again.
            directories_.clear();
        }
    }
    const std::uint64_t renamed = FAN_RENAME | (event.mask & FAN_ONDIR);
    for (const auto& [half, path] : {std::pair{&*event.entry, &from}, {&*event.renamedTo, &to}}) {
        if (*path) {
            handleEntry(renamed, **path, {});
        } else {
            setAside(*half, renamed, {});
        }
    }
}

void ZedFanotifySource::handleEntry(std::uint64_t mask, const std::string& path,
                                    std::string_view objectKey) {
    const bool isDirectory = mask & FAN_ONDIR;
    const bool concerned = concernsRoots(path);
    if (isDirectory && !objectKey.empty()) {
        if ((mask & FAN_CREATE) && concerned) {
            directories_.learn(objectKey, path);
        }
        if (mask & FAN_DELETE) {
            directories_.forget(objectKey);
            deleted_.emplace(std::string(objectKey), path);
        }
    }
    if (!concerned) {
        return;
    }
    const std::uint32_t kind = ZedItemKind::of(path, isDirectory);
    if (mask & FAN_CREATE) {
        emit(path, ZedEventFlags::kItemCreated | kind);
    }
    if (mask & FAN_DELETE) {
        emit(path, ZedEventFlags::kItemRemoved | kind);
    }
    if (mask & FAN_MODIFY) {
        emit(path, ZedEventFlags::kItemModified | kind);
    }
    if (mask & FAN_ATTRIB) {
        emit(path, ZedEventFlags::kItemInodeMetaMod | kind);
    }
    if (mask & FAN_RENAME) {
        emit(path, ZedEventFlags::kItemRenamed | kind);
    }
}

void ZedFanotifySource::setAside(const ZedFanotifyEvent::Entry& entry, std::uint64_t mask,
                                 std::string_view objectKey) {
    if (fileSystems_.find(entry.directory.fileSystemKey) == fileSystems_.end()) {
        return;  // a file system no root is on any more
    }
    unplaced_.push_back({std::string(entry.directory.key),
                         std::string(entry.directory.fileSystemKey), std::string(entry.name), mask,
                         std::string(objectKey), Clock::now()});
}

// Newest first, since a directory's deletion is read after the events inside it: each deletion
// placed tells where the events before it happened.
void ZedFanotifySource::placeUnplaced() {
    if (unplaced_.empty()) {
        return;
    }
    std::vector<std::optional<std::string>> places(unplaced_.size());
    for (std::size_t i = unplaced_.size(); i-- > 0;) {
        const Unplaced& event = unplaced_[i];
        const std::string* directory = directories_.find(event.directoryKey);
        if (!directory) {
            const auto deleted = deleted_.find(event.directoryKey);
            directory = deleted == deleted_.end() ? nullptr : &deleted->second;
        }
        if (!directory) {
            continue;
        }
        places[i] = ZedPathComponents::joined(*directory, event.name);
        if ((event.mask & FAN_DELETE) && (event.mask & FAN_ONDIR) && !event.objectKey.empty()) {
            deleted_.emplace(event.objectKey, *places[i]);
        }
    }
    const auto now = Clock::now();
    std::vector<Unplaced> waiting;
    std::set<std::string> lost;  // file systems, each rescanned once however many it lost
    for (std::size_t i = 0; i < unplaced_.size(); ++i) {
        if (places[i]) {
            handleEntry(unplaced_[i].mask, *places[i], {});
        } else if (now - unplaced_[i].since < kPlacingTime) {
            waiting.push_back(std::move(unplaced_[i]));
        } else {
            lost.insert(unplaced_[i].fileSystemKey);
        }
    }
    unplaced_ = std::move(waiting);
    for (const auto& fileSystemKey : lost) {
        mustScanRootsOn(fileSystemKey);
    }
}

void ZedFanotifySource::overflowed() {
    for (const auto& [given, root] : roots_) {
        sink_(given, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kKernelDropped |
                         ZedEventFlags::kItemIsDir);
    }
    // Renames may have been lost with the events: what is known of directories may be wrong.
    directories_.clear();
    unplaced_.clear();
}

void ZedFanotifySource::mustScanRootsOn(const std::string& fileSystemKey) {
    for (const auto& [given, root] : roots_) {
        bool onIt = root.ownFileSystem == fileSystemKey;
        for (const auto& [mountPoint, key] : root.mounts) {
            onIt = onIt || key == fileSystemKey;
        }
        if (onIt) {
            ZedLogWarn(kLogMask, ZedLogContextPlatform,
                       "lost track of a directory; asking for a rescan of (%s)", given.c_str());
            sink_(given, ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kUserDropped |
                             ZedEventFlags::kItemIsDir);
        }
    }
}

std::optional<std::string> ZedFanotifySource::entryPath(const ZedFanotifyEvent::Entry& entry) {
    const std::string* directory = directoryOf(entry.directory);
    if (!directory) {
        return std::nullopt;
    }
    return ZedPathComponents::joined(*directory, entry.name);
}

const std::string* ZedFanotifySource::directoryOf(const ZedFanotifyEvent::Handle& directory) {
    if (const std::string* known = directories_.find(directory.key)) {
        return known;
    }
    auto decoded = decode(directory);
    if (!decoded) {
        return nullptr;
    }
    directories_.learn(directory.key, std::move(*decoded));
    return directories_.find(directory.key);
}

std::optional<std::string> ZedFanotifySource::decode(const ZedFanotifyEvent::Handle& directory) {
    const auto fileSystem = fileSystems_.find(directory.fileSystemKey);
    if (fileSystem == fileSystems_.end()) {
        return std::nullopt;
    }
    // The handle sits unaligned in the read buffer, and the kernel wants a writable one.
    union {
        file_handle handle;
        char bytes[sizeof(file_handle) + MAX_HANDLE_SZ];
    } copy{};
    const std::size_t size = directory.key.size() - directory.fileSystemKey.size();
    if (size > sizeof copy.bytes) {
        return std::nullopt;
    }
    std::memcpy(copy.bytes, directory.key.data() + directory.fileSystemKey.size(), size);
    // Opened for this call only, and checked to be still the same file system.
    const int mountFd =
        ::open(fileSystem->second.mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (mountFd < 0) {
        return std::nullopt;
    }
    struct statfs status {};
    const bool same =
        fstatfs(mountFd, &status) == 0 &&
        std::memcmp(&status.f_fsid, directory.fileSystemKey.data(), sizeof status.f_fsid) == 0;
    const int fd = same ? open_by_handle_at(mountFd, &copy.handle, O_PATH | O_CLOEXEC) : -1;
    close(mountFd);
    if (fd < 0) {
        return std::nullopt;
    }
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = readlink(link, target, sizeof target);
    close(fd);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target || target[0] != '/') {
        return std::nullopt;
    }
    return std::string(target, static_cast<std::size_t>(length));
}

// Under a root, or above one (its removal or move changes the root).
bool ZedFanotifySource::concernsRoots(const std::string& path) const {
    for (const auto& [given, root] : roots_) {
        if (ZedPathComponents::isUnderOrAbove(path, root.canonical)) {
            return true;
        }
    }
    return false;
}

void ZedFanotifySource::emit(const std::string& path, std::uint32_t flags) {
    const bool rootMayChange = flags & (ZedEventFlags::kItemRemoved | ZedEventFlags::kItemRenamed);
    for (const auto& [given, root] : roots_) {
        if (ZedPathComponents::contains(root.canonical, path)) {
            sink_(ZedPathComponents::rebased(path, root.canonical, given), flags);
        }
        if (rootMayChange && ZedPathComponents::contains(path, root.canonical)) {
            sink_(given, ZedEventFlags::kRootChanged | ZedEventFlags::kItemIsDir);
        }
    }
}

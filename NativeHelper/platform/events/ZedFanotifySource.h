#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events/ZedDirectoryPaths.h"
#include "platform/events/ZedEventSource.h"
#include "platform/events/ZedFanotifyEvent.h"
#include "platform/events/ZedMountWatch.h"
#include "platform/events/ZedReaderThread.h"

// File-system events from one fanotify mark per file system: no walk of the trees, no watch per
// directory, and no window in which a new directory's contents go unseen. The kernel names each
// event by its directory's handle and the entry's name; handles become paths through the
// directories that events have shown (a created directory's handle comes with its creation) or,
// failing that, by decoding the handle. Events outside the roots are dropped. A handle that can
// no longer be placed anywhere, or a full kernel queue, becomes must-scan on the roots
// concerned.
class ZedFanotifySource : public ZedEventSource {
  public:
    // Null when the kernel or the process's privileges do not allow these events (fanotify
    // needs CAP_SYS_ADMIN, and rename and target reports Linux 5.17).
    static std::unique_ptr<ZedFanotifySource> open(Sink sink, Drained drained);
    ~ZedFanotifySource() override;

    // False when a file system under the root refuses the mark (no handles, no id).
    bool addRoot(const std::string& root) override;
    void removeRoot(const std::string& root) override;

  private:
    using Clock = std::chrono::steady_clock;

    struct FileSystem {
        std::string mountPoint;  // where it was marked, and where its handles are opened
        int roots = 0;
    };
    struct Root {
        std::string canonical;      // symbolic links resolved: the form decoded handles come in
        std::string ownFileSystem;  // holding the root, or its nearest existing ancestor
        std::map<std::string, std::string> mounts;  // file systems mounted inside, by mount point
        int count = 0;
    };
    // An event whose directory could not be placed when it was read: its directory was
    // deleted, and the deletion, read later, tells where it was.
    struct Unplaced {
        std::string directoryKey;
        std::string fileSystemKey;
        std::string name;
        std::uint64_t mask;
        std::string objectKey;
        Clock::time_point since;
    };

    ZedFanotifySource(int fd, Sink sink, Drained drained);

    void handle(const ZedFanotifyEvent& event);
    void handleRename(const ZedFanotifyEvent& event);
    void handleEntry(std::uint64_t mask, const std::string& path, std::string_view objectKey);
    void setAside(const ZedFanotifyEvent::Entry& entry, std::uint64_t mask,
                  std::string_view objectKey);
    void placeUnplaced();
    void overflowed();
    std::optional<std::string> decode(const ZedFanotifyEvent::Handle& directory);
    std::optional<std::string> entryPath(const ZedFanotifyEvent::Entry& entry);
    // The directory's path, known or decoded; null when it can no longer be placed.
    const std::string* directoryOf(const ZedFanotifyEvent::Handle& directory);
    void drainLocked() override;
    void followMounts() override;
    // Marks the file system holding `path` (or counts one more user of its mark); its key.
    std::optional<std::string> markFileSystemOf(const std::string& path,
                                                const std::vector<ZedMountTable::Mount>& mounts);
    static std::optional<std::string> fileSystemKeyOf(const std::string& path);
    static bool canDecodeHandles(const std::string& directory);
    void unmarkAll(const Root& root);
    void unmark(const std::string& fileSystemKey);
    bool concernsRoots(const std::string& path) const;
    void emit(const std::string& path, std::uint32_t flags);
    void mustScanRootsOn(const std::string& fileSystemKey);

    std::map<std::string, FileSystem, std::less<>> fileSystems_;  // by file-system id
    std::map<std::string, Root> roots_;                           // by the path the caller gave
    ZedDirectoryPaths directories_;
    // Directories deleted in the current drain, by handle key: the deletion is read after the
    // events inside them, which wait in unplaced_ until then.
    std::map<std::string, std::string, std::less<>> deleted_;
    std::vector<Unplaced> unplaced_;
};

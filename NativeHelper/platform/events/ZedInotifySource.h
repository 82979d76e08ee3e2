#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/events/ZedEventSource.h"
#include "platform/events/ZedMountWatch.h"
#include "platform/events/ZedReaderThread.h"
#include "platform/events/ZedWatchTable.h"

struct inotify_event;

// Turns inotify's per-directory events into journal events with the journal's flags. Every
// directory under a root gets its own watch, added first and read second, so a file made in a
// fresh directory before its watch existed is still reported as created. A full kernel queue or
// a refused watch becomes must-scan on the directories concerned, never silence. A root that
// does not exist, or vanishes, is watched again as soon as it reappears.
class ZedInotifySource : public ZedEventSource {
  public:
    ZedInotifySource(Sink sink, Drained drained);
    ~ZedInotifySource() override;

    // False only when inotify itself could not be started.
    bool addRoot(const std::string& root) override;
    void removeRoot(const std::string& root) override;

  private:
    // Where a watched directory sits: its name under its parent's watch, or, at the top of a
    // tree, its whole path with no parent.
    struct Place {
        int parent;
        std::string name;
    };

    void handle(const inotify_event& event);
    void handleMovedDirectory(const std::string& path, std::uint32_t cookie, const Place& place);
    void overflowed();
    void drainLocked() override;
    void followMounts() override;
    static std::set<std::string> mountsInside(const std::vector<ZedMountTable::Mount>& mounts,
                                              const std::string& root);
    void watchedDirectoryLeft(const std::string& directory);
    void awaitRoot(const std::string& root);
    void awaitRootsUnder(const std::string& directory);
    void watchAncestors(const std::string& root);
    void forgetIdleAncestors();
    void watchTree(const std::string& top, bool reportContents, const Place& place);
    int watchDirectory(const std::string& directory, const Place& place);
    void reportRefusedWatches();
    void forgetWatches(const std::function<bool(const std::string& path)>& which);
    bool removeSomeWatches();
    enum class Forget { unrootedWatches, allWatches };
    void forgetTree(const std::string& top, Forget how);
    bool renameTree(const std::string& from, const std::string& to, const Place& place);
    void forgetUnpairedMoves();
    void emit(const std::string& path, std::uint32_t flags);
    bool isUnderRoot(const std::string& path) const;
    bool isUnderOrAboveRoot(const std::string& path) const;

    ZedWatchTable watches_;
    std::size_t refusedWatches_ = 0;  // since the last report
    std::string firstRefusedWatch_;
    std::set<int> watchesToRemove_;  // forgotten, and not yet removed from the kernel
    std::map<std::string, int> roots_;
    // Roots that do not exist; their nearest existing ancestor is watched.
    std::set<std::string> awaitedRoots_;
    std::map<std::string, std::set<std::string>> mountsInside_;  // by root, as last seen
    std::map<std::uint32_t, std::string> movedAway_;             // directories by move cookie
    // Events under a directory moved away whose arrival has not been read yet: they take its
    // new name when it arrives in the trees, and are dropped when it left them.
    std::vector<std::pair<std::string, std::uint32_t>> heldBack_;
};

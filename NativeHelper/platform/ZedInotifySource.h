#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

struct inotify_event;

// Turns inotify's per-directory events into journal events with the journal's flags. Every
// directory under a root gets its own watch, added first and read second, so a file made in a
// fresh directory before its watch existed is still reported as created. A full kernel queue or
// a refused watch becomes must-scan on the directories concerned, never silence.
class ZedInotifySource {
  public:
    using Sink = std::function<void(const std::string& path, std::uint32_t flags)>;
    using Drained = std::function<void()>;

    // `sink` receives each event while the source is locked, in the kernel's order; `drained`
    // follows each read with the source unlocked, so it may do anything, even remove roots.
    ZedInotifySource(Sink sink, Drained drained);
    ~ZedInotifySource();
    ZedInotifySource(const ZedInotifySource&) = delete;
    ZedInotifySource& operator=(const ZedInotifySource&) = delete;

    // Reads on a thread of its own until stopReading(); without it only drain() reads.
    void startReading();
    void stopReading();

    // Roots are counted: a tree stays watched until every root naming it is removed.
    void addRoot(const std::string& root);
    void removeRoot(const std::string& root);

    // Hands the sink everything the kernel has queued so far. A change whose system call
    // returned before this call is in the kernel's queue already, so it is handed over too.
    void drain();

  private:
    void serve();
    void drainLocked();
    void handle(const inotify_event& event);
    void handleMovedDirectory(const std::string& path, std::uint32_t cookie);
    void overflowed();
    void watchTree(const std::string& top, bool reportContents);
    bool watchDirectory(const std::string& directory);
    enum class Forget { unrootedWatches, allWatches };
    void forgetTree(const std::string& top, Forget how);
    void renameTree(const std::string& from, const std::string& to);
    void forgetUnpairedMoves();
    void emit(const std::string& path, std::uint32_t flags);
    bool isUnderRoot(const std::string& path) const;

    Sink sink_;
    Drained drained_;
    int fd_ = -1;
    int wakeFd_ = -1;
    std::mutex mutex_;
    std::unordered_map<int, std::string> pathOfWatch_;  // the directory of each watch
    std::map<std::string, int> roots_;
    std::map<std::uint32_t, std::string> movedAway_;  // directories by move cookie
    // Events under a directory moved away whose arrival has not been read yet: they take its
    // new name when it arrives in the trees, and are dropped when it left them.
    std::vector<std::pair<std::string, std::uint32_t>> heldBack_;
    std::thread reader_;
};

#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Dispatch/ZedDispatchQueue.h"
#include "platform/events/ZedEventStream.h"
#include "platform/events/ZedRunLoop.h"

// Reports what changed under a set of directory trees since the last batch. The caller asks for
// a batch (getFileEventBatch); the watcher replays the event history from the last event it
// reported, hands each event to the callbacks and stops at the end of the history, or after a
// second at the latest. Stream, paths and batch state live on the watcher queue; every callback,
// the finished callback of a stop included, runs on the file event queue, one at a time in
// order, never inside the watcher queue nor inside the call that caused it. So a callback may
// call any operation of any watcher, and nothing it does recurses into it.
//
// Lock order of the library, outermost first; code holding one takes only those after it:
//   1. a watcher's file event queue: the caller's callbacks run here, holding nothing else. The
//      one wait between two of these: a callback that invalidates another watcher waits for the
//      callback that watcher runs (so two callbacks must not invalidate each other's watchers);
//   2. a watcher's queue (_vtFileWatcherQueue): never waits for a file event queue, never calls a
//      callback, and lets go of event streams and of the watcher only after leaving it;
//   3. an event stream's mutex, then the journal's mutex or its run loop's mutex;
//   4. the source router's mutex, then one source's mutex, then the journal's mutex.
// Journal listeners run with none of 3 and 4 held, as they may end a stream, which takes 4; they
// may run inside 2. Queue, pool, timer and logging-hub mutexes are taken last and call out to
// nothing.
class ZedFileWatcher : public std::enable_shared_from_this<ZedFileWatcher> {
  public:
    using PathCallback = void (*)(const char* path, int isDirectory);
    using ScanCallback = void (*)(const char* directoryPath);
    using FinishedCallback = void (*)(void);

    // Null, with the reason logged, for an empty path set or a missing callback.
    static std::shared_ptr<ZedFileWatcher> initWithDirectoryPaths(
        const std::set<std::string>& directoryPaths, PathCallback fileCreatedCallback,
        PathCallback fileModifiedCallback, PathCallback fileDeletedCallback,
        ScanCallback scanDirectoryCallback, FinishedCallback eventsFinishedCallback);
    ~ZedFileWatcher();
    ZedFileWatcher(const ZedFileWatcher&) = delete;
    ZedFileWatcher& operator=(const ZedFileWatcher&) = delete;

    void createFileStream();
    void rebuildFileStream();
    void scheduleFSEventStreamUnsafe();
    void unscheduleFSEventStream();
    void startWatching();
    void stopWatching();
    void cancel();
    void loadLatestEventId();
    void addPathToWatch(const char* pathToAdd);
    void addPathsToWatch(const std::set<std::string>& pathsToAdd);
    void removePathToWatch(const char* pathToRemove);
    void removePathsToWatch(const std::set<std::string>& pathsToRemove);
    std::set<std::string> watchedPaths();
    void getFileEventBatch();
    void processCallbackForEventPath(const std::string& path, std::uint32_t flags,
                                     std::uint64_t eventId);
    void invalidate();

    // A group of events from the stream, on the watcher thread (the stream callback's body).
    void eventsDelivered(std::size_t numEvents, char** paths, const std::uint32_t* flags,
                         const std::uint64_t* ids);

  private:
    using Streams = std::vector<std::shared_ptr<ZedEventStream>>;

    struct Context {
        void* info = nullptr;
        std::shared_ptr<ZedFileWatcher> retained;  // the stream's reference, until invalidate
    };

    ZedFileWatcher() = default;
    static void performRunLoop(const std::shared_ptr<ZedRunLoop>& runLoop);
    // Runs `body` on the watcher queue for `operation` (the name its log lines carry). Streams
    // retired meanwhile are let go of after the outermost such call has left the queue.
    void onWatcherQueue(const char* operation, const std::function<void()>& body);
    void retire(std::shared_ptr<ZedEventStream>& stream);
    void changePaths(const std::set<std::string>& paths, bool adding);
    void stopBatch(std::uint64_t batch);
    // The finished callback of a stop, after what the file event queue already holds.
    void finishLater();
    // No callback starts after this; returns once none runs, or at once from a callback.
    void closeCallbacks();
    template <typename Callback, typename... Arguments>
    void call(Callback callback, Arguments... arguments);

    std::thread _watcherThread;
    std::shared_ptr<ZedRunLoop> _watcherRunLoop;
    Context _context;
    double _latency = 1.0;
    std::shared_ptr<ZedEventStream> _eventStreamRef;
    // Keeps paths added during a batch recorded until the next batch rebuilds the stream.
    std::shared_ptr<ZedEventStream> _recordingHold;
    Streams _retiredStreams;
    std::shared_ptr<ZedDispatchQueue> _fileEventQueue;
    std::set<std::string> _watchedPaths;
    // Written on the file event queue, read on the watcher queue.
    std::atomic<std::uint64_t> _lastEventId{0};
    std::shared_ptr<ZedDispatchQueue> _vtFileWatcherQueue;
    bool _streamStarted = false;
    bool _watchedPathsChanged = false;
    bool _invalidated = false;
    std::atomic<bool> _callbacksClosed{false};
    std::uint64_t _batchNumber = 0;  // the one-second stop ends only its own batch
    // Written at batch start on the watcher queue and at each delivery on the watcher thread.
    std::atomic<std::int64_t> _timeSinceLastEvent{0};
    PathCallback _fileCreatedCallback = nullptr;
    PathCallback _fileModifiedCallback = nullptr;
    PathCallback _fileDeletedCallback = nullptr;
    ScanCallback _scanDirectoryCallback = nullptr;
    FinishedCallback _finishedCallback = nullptr;
};

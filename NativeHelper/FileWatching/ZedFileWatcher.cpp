#include "FileWatching/ZedFileWatcher.h"

#include <sys/stat.h>

#include <cinttypes>
#include <vector>

#include "Categories/ZedUnixTimeInMS.h"
#include "Dispatch/ZedDispatchRuntime.h"
#include "Dispatch/zed_dispatch_helpers.h"
#include "FileWatching/ZedFileWatcherUtilities.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "Logging/ZedLogging/ZedLogLevels.h"
#include "include/vtnative.h"
#include "platform/events/ZedEventFlags.h"
#include "platform/events/ZedEventJournal.h"

#define WatcherLogError(...) \
    ZedLogError(ZedLogLevels::watcherMask(), ZedLogContextFile, __VA_ARGS__)
#define WatcherLogWarn(...) ZedLogWarn(ZedLogLevels::watcherMask(), ZedLogContextFile, __VA_ARGS__)
#define WatcherLogDebug(...) \
    ZedLogDebug(ZedLogLevels::watcherMask(), ZedLogContextFile, __VA_ARGS__)
// From a queue block, which would otherwise be named "operator()".
#define WatcherLogWarnIn(operation, ...) \
    ZedLogWarnIn(operation, ZedLogLevels::watcherMask(), ZedLogContextFile, __VA_ARGS__)
#define WatcherLogDebugIn(operation, ...) \
    ZedLogDebugIn(operation, ZedLogLevels::watcherMask(), ZedLogContextFile, __VA_ARGS__)

namespace {

// A delivery this long after the previous one is live, not part of the history replay.
constexpr std::int64_t kHistoricalGapMs = 1000;
// A batch never runs longer than this.
constexpr std::chrono::milliseconds kBatchLimit{1000};

std::string describe(const std::set<std::string>& paths) {
    std::string text = "{(";
    const char* separator = "";
    for (const auto& path : paths) {
        text += separator + path;
        separator = ", ";
    }
    return text + ")}";
}

std::string queueLabel(const char* base, const void* owner) {
    char label[128];
    snprintf(label, sizeof label, "%s.%p", base, owner);
    return label;
}

}  // namespace

extern "C" void fileEventCallback(const void*, void* info, size_t numEvents, void* eventPaths,
                                  const uint32_t eventFlags[], const uint64_t eventIds[]) {
    if (!info) {
        return;
    }
    static_cast<ZedFileWatcher*>(info)->eventsDelivered(numEvents, static_cast<char**>(eventPaths),
                                                        eventFlags, eventIds);
}

std::shared_ptr<ZedFileWatcher> ZedFileWatcher::initWithDirectoryPaths(
    const std::set<std::string>& directoryPaths, PathCallback fileCreatedCallback,
    PathCallback fileModifiedCallback, PathCallback fileDeletedCallback,
    ScanCallback scanDirectoryCallback, FinishedCallback eventsFinishedCallback) {
    const std::pair<bool, const char*> checks[] = {
        {directoryPaths.empty(), "directoryPaths is empty"},
        {!fileCreatedCallback, "fileCreatedCallback is null"},
        {!fileModifiedCallback, "fileModifiedCallback is null"},
        {!fileDeletedCallback, "fileDeletedCallback is null"},
        {!scanDirectoryCallback, "scanDirectoryCallback is null"},
        {!eventsFinishedCallback, "finishedCallback is null"},
    };
    for (const auto& [failed, message] : checks) {
        if (failed) {
            WatcherLogError("%s", message);
            return nullptr;
        }
    }
    std::shared_ptr<ZedFileWatcher> watcher(new ZedFileWatcher());
    watcher->_vtFileWatcherQueue = zed::dispatch_queue_create(
        queueLabel("com.zedcorp.vtFileWatcher.vtFileWatcherQueue", watcher.get()).c_str(),
        ZedDispatchQueueKind::serial);
    watcher->_fileEventQueue = zed::dispatch_queue_create(
        queueLabel("com.zedcorp.vtFileWatcher.fileEventQueue", watcher.get()).c_str(),
        ZedDispatchQueueKind::serial);
    if (!watcher->_vtFileWatcherQueue || !watcher->_fileEventQueue) {
        WatcherLogError("unable to create the watcher's queues");
        return nullptr;
    }
    watcher->_watchedPaths = directoryPaths;
    watcher->_fileCreatedCallback = fileCreatedCallback;
    watcher->_fileModifiedCallback = fileModifiedCallback;
    watcher->_fileDeletedCallback = fileDeletedCallback;
    watcher->_scanDirectoryCallback = scanDirectoryCallback;
    watcher->_finishedCallback = eventsFinishedCallback;

    watcher->_watcherRunLoop = std::make_shared<ZedRunLoop>();
    watcher->_watcherThread = std::thread(performRunLoop, watcher->_watcherRunLoop);

    WatcherLogDebug("created watcher (%p) with paths (%s)", static_cast<void*>(watcher.get()),
                    describe(directoryPaths).c_str());
    watcher->_latency = 1.0;
    watcher->_context = {watcher.get(), watcher};
    watcher->loadLatestEventId();
    watcher->createFileStream();
    return watcher;
}

ZedFileWatcher::~ZedFileWatcher() {
    if (_watcherRunLoop) {
        _watcherRunLoop->stop();
    }
    if (_watcherThread.joinable()) {
        if (_watcherThread.get_id() == std::this_thread::get_id()) {
            _watcherThread.detach();
        } else {
            _watcherThread.join();
        }
    }
}

void ZedFileWatcher::performRunLoop(const std::shared_ptr<ZedRunLoop>& runLoop) {
    runLoop->run();
}

void ZedFileWatcher::onWatcherQueue(const char* operation, const std::function<void()>& body) {
    // Held from outside the queue, so that the watcher's last reference never goes inside it.
    const std::shared_ptr<ZedFileWatcher> strongSelf = weak_from_this().lock();
    if (!strongSelf) {
        ZedLogErrorIn(operation, ZedLogMaskInfo, ZedLogContextPlatform, "strongSelf is nil");
        return;
    }
    const std::shared_ptr<ZedDispatchQueue> queue = _vtFileWatcherQueue;
    const bool outermost = !zed::dispatch_is_current_queue_equal_to_queue(queue.get());
    // A stream's end unregisters it from the journal, whose listeners may end other streams:
    // that happens here, after the queue has been left.
    Streams retired;
    zed::dispatch_sync_to_queue(queue.get(), [&] {
        if (!_invalidated) {
            body();
        }
        if (outermost) {
            retired.swap(_retiredStreams);
        }
    });
}

void ZedFileWatcher::retire(std::shared_ptr<ZedEventStream>& stream) {
    if (stream) {
        _retiredStreams.push_back(std::move(stream));
    }
}

template <typename Callback, typename... Arguments>
void ZedFileWatcher::call(Callback callback, Arguments... arguments) {
    if (!_callbacksClosed.load()) {
        callback(arguments...);
    }
}

void ZedFileWatcher::finishLater() {
    _fileEventQueue->async([self = shared_from_this()] { self->call(self->_finishedCallback); });
}

void ZedFileWatcher::closeCallbacks() {
    _callbacksClosed.store(true);
    // Every callback runs on the file event queue, so one pass through it waits out the callback
    // that runs. A callback that invalidates its own watcher, even from inside a block it runs on
    // a queue of its own, waits for nothing.
    if (!_fileEventQueue->isRunningOnCallingThread()) {
        _fileEventQueue->sync([] {});
    }
}

void ZedFileWatcher::createFileStream() {
    WatcherLogDebug("Creating file stream.");
    onWatcherQueue(__func__, [this, operation = __func__] {
        if (_watchedPaths.empty()) {
            WatcherLogDebugIn(operation, "Attempting to create file stream with no paths.");
            return;
        }
        const std::vector<std::string> paths(_watchedPaths.begin(), _watchedPaths.end());
        _eventStreamRef =
            ZedEventStream::create(ZedEventJournal::shared(), fileEventCallback, _context.info,
                                   _context.retained, paths, _lastEventId.load(), _latency);
        scheduleFSEventStreamUnsafe();
    });
}

void ZedFileWatcher::rebuildFileStream() {
    WatcherLogDebug("Rebuilding file stream.");
    onWatcherQueue(__func__, [this] {
        // The old stream, retired by cancel, keeps its trees recorded until the new one has
        // taken them over.
        cancel();
        createFileStream();
        retire(_recordingHold);
        _watchedPathsChanged = false;
    });
}

void ZedFileWatcher::scheduleFSEventStreamUnsafe() {
    if (_streamStarted || !_eventStreamRef) {
        return;
    }
    _eventStreamRef->scheduleWithRunLoop(_watcherRunLoop);
}

void ZedFileWatcher::unscheduleFSEventStream() {
    WatcherLogDebug("Unschedule file stream.");
    onWatcherQueue(__func__, [this] {
        if (!_streamStarted && _eventStreamRef) {
            _eventStreamRef->unscheduleFromRunLoop();
        }
    });
}

void ZedFileWatcher::startWatching() {
    WatcherLogDebug("Start watching file stream.");
    onWatcherQueue(__func__, [this, operation = __func__] {
        if (_streamStarted) {
            return;
        }
        if (_watchedPaths.empty()) {
            WatcherLogDebugIn(operation, "No paths to watch, not starting)");
            return;
        }
        if (!_eventStreamRef) {
            WatcherLogWarnIn(operation, "Event stream expected. None found. Rebuilding.");
            rebuildFileStream();
            if (!_eventStreamRef) {
                WatcherLogWarnIn(operation, "Failed to rebuild event stream. Not Watching.");
                return;
            }
        }
        WatcherLogDebugIn(operation, "Stream starting");
        _timeSinceLastEvent.store(ZedUnixTimeInMS::unixTimeInMS());
        _eventStreamRef->start();
        _streamStarted = true;
        const std::uint64_t batch = ++_batchNumber;
        // Not a block on the watcher queue: the watcher it keeps alive is let go of outside.
        std::weak_ptr<ZedFileWatcher> weakSelf = weak_from_this();
        ZedDispatchRuntime::shared().runAfter(kBatchLimit, [weakSelf, batch] {
            if (const auto strongSelf = weakSelf.lock()) {
                strongSelf->stopBatch(batch);
            }
        });
    });
}

// The batch is over before the finished callback hears of it, so whatever the callback calls
// meets a stopped watcher: a stop does nothing, a wakeup starts the next batch.
void ZedFileWatcher::stopWatching() {
    WatcherLogDebug("Stop watching file stream.");
    onWatcherQueue(__func__, [this, operation = __func__] {
        if (!_streamStarted || !_eventStreamRef) {
            return;
        }
        WatcherLogDebugIn(operation, "Stream stopping");
        _eventStreamRef->stop();
        _streamStarted = false;
        finishLater();
    });
}

void ZedFileWatcher::stopBatch(std::uint64_t batch) {
    onWatcherQueue(__func__, [this, batch] {
        if (_batchNumber == batch) {
            stopWatching();
        }
    });
}

void ZedFileWatcher::cancel() {
    WatcherLogDebug("Cancelling file stream.");
    onWatcherQueue(__func__, [this] {
        if (!_eventStreamRef) {
            return;
        }
        stopWatching();
        unscheduleFSEventStream();
        _eventStreamRef->invalidate();
        retire(_eventStreamRef);
    });
}

void ZedFileWatcher::loadLatestEventId() {
    onWatcherQueue(__func__, [this, operation = __func__] {
        _lastEventId.store(ZedEventJournal::shared().currentEventId());
        WatcherLogDebugIn(operation, "Loaded last event id: (%" PRIu64 ")", _lastEventId.load());
    });
}

void ZedFileWatcher::addPathToWatch(const char* pathToAdd) {
    if (!pathToAdd) {
        WatcherLogError("pathToAdd is nil");
        return;
    }
    addPathsToWatch({pathToAdd});
}

void ZedFileWatcher::addPathsToWatch(const std::set<std::string>& pathsToAdd) {
    WatcherLogDebug("Adding paths : %s", describe(pathsToAdd).c_str());
    if (pathsToAdd.empty()) {
        WatcherLogError("pathsToAdd is nil or empty.");
        return;
    }
    changePaths(pathsToAdd, true);
}

void ZedFileWatcher::removePathToWatch(const char* pathToRemove) {
    if (!pathToRemove) {
        WatcherLogError("pathToRemove is nil");
        return;
    }
    removePathsToWatch({pathToRemove});
}

void ZedFileWatcher::removePathsToWatch(const std::set<std::string>& pathsToRemove) {
    WatcherLogDebug("Removing paths : %s", describe(pathsToRemove).c_str());
    if (pathsToRemove.empty()) {
        WatcherLogError("pathsToRemove is nil or empty.");
        return;
    }
    changePaths(pathsToRemove, false);
}

void ZedFileWatcher::changePaths(const std::set<std::string>& paths, bool adding) {
    onWatcherQueue(__func__, [this, &paths, adding] {
        const std::size_t before = _watchedPaths.size();
        for (const auto& path : paths) {
            if (adding) {
                _watchedPaths.insert(path);
            } else {
                _watchedPaths.erase(path);
            }
        }
        if (_watchedPaths.size() == before) {
            return;
        }
        if (_streamStarted) {
            _watchedPathsChanged = true;
            const std::vector<std::string> recorded(_watchedPaths.begin(), _watchedPaths.end());
            retire(_recordingHold);
            _recordingHold =
                ZedEventStream::create(ZedEventJournal::shared(), fileEventCallback, nullptr,
                                       nullptr, recorded, _lastEventId.load(), _latency);
        } else {
            rebuildFileStream();
        }
    });
}

std::set<std::string> ZedFileWatcher::watchedPaths() {
    std::set<std::string> copy;
    onWatcherQueue(__func__, [this, &copy] { copy = _watchedPaths; });
    return copy;
}

void ZedFileWatcher::getFileEventBatch() {
    WatcherLogDebug("Getting file event batch.");
    onWatcherQueue(__func__, [this, operation = __func__] {
        if (_streamStarted) {
            if (!_watchedPathsChanged) {
                return;
            }
            rebuildFileStream();
        }
        WatcherLogDebugIn(operation, "file watching batch from file event id (%" PRIu64 ")",
                          _lastEventId.load());
        if (!_eventStreamRef) {
            createFileStream();
        } else if (_watchedPathsChanged) {
            WatcherLogDebugIn(operation, "Watched paths were changed since last batch.");
            rebuildFileStream();
        }
        startWatching();
    });
}

void ZedFileWatcher::eventsDelivered(std::size_t numEvents, char** paths,
                                     const std::uint32_t* flags, const std::uint64_t* ids) {
    const std::shared_ptr<ZedFileWatcher> self = shared_from_this();
    const std::int64_t now = ZedUnixTimeInMS::unixTimeInMS();
    const std::int64_t gap = now - _timeSinceLastEvent.exchange(now);
    if (gap > kHistoricalGapMs) {
        WatcherLogDebug("Received an event that must not be historical. Stop watching.");
        stopWatching();
        onWatcherQueue(__func__, [this] {
            if (_watchedPathsChanged) {
                rebuildFileStream();
            }
        });
    }
    struct Event {
        std::string path;
        std::uint32_t flags;
        std::uint64_t id;
    };
    std::vector<Event> events;
    events.reserve(numEvents);
    for (std::size_t i = 0; i < numEvents; ++i) {
        events.push_back({paths[i] ? paths[i] : "", flags[i], ids[i]});
    }
    _fileEventQueue->async([self, events = std::move(events), operation = __func__] {
        for (const auto& event : events) {
            if (self->_callbacksClosed.load()) {
                return;
            }
            // The end-of-history marker names no item; it only ends the batch.
            if (event.flags != ZedEventFlags::kHistoryDone) {
                self->processCallbackForEventPath(event.path, event.flags, event.id);
            }
            if (event.flags & ZedEventFlags::kHistoryDone) {
                WatcherLogDebugIn(
                    operation,
                    "Received the last of historical events. Stop watching.  Last path: (%s)",
                    event.path.c_str());
                self->stopWatching();
                break;
            }
        }
        self->call(self->_finishedCallback);
    });
}

void ZedFileWatcher::processCallbackForEventPath(const std::string& path, std::uint32_t flags,
                                                 std::uint64_t eventId) {
    if (path.empty()) {
        WatcherLogError("path is nil or empty");
        return;
    }
    WatcherLogDebug("Received file event for path (%s).  Flags: (%s)", path.c_str(),
                    ZedFileWatcherUtilities::descriptionForEventFlags(flags).c_str());
    _lastEventId.store(eventId);
    // The item itself, not what a symbolic link points to: a dangling link still exists.
    struct stat status {};
    const bool exists = lstat(path.c_str(), &status) == 0;
    const bool isDirectory = exists && S_ISDIR(status.st_mode);
    if ((flags & ZedEventFlags::kUnmount) && !exists) {
        WatcherLogDebug("skipping unmount event for path (%s)", path.c_str());
        return;
    }
    if (!exists) {
        call(_fileDeletedCallback, path.c_str(),
             static_cast<int>(ZedFileWatcherUtilities::flagsIndicateDirectory(flags)));
        return;
    }
    if (ZedFileWatcherUtilities::flagsIndicateCreateEvent(flags)) {
        call(_fileCreatedCallback, path.c_str(), static_cast<int>(isDirectory));
    } else {
        call(_fileModifiedCallback, path.c_str(), static_cast<int>(isDirectory));
    }
    if ((flags & (ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kItemRenamed)) && isDirectory) {
        WatcherLogDebug("Need to scan subdirs for (%s)", path.c_str());
        call(_scanDirectoryCallback, path.c_str());
    }
}

void ZedFileWatcher::invalidate() {
    closeCallbacks();
    onWatcherQueue(__func__, [this] {
        cancel();
        retire(_recordingHold);
        _watcherRunLoop->stop();
        _context = {};
        _invalidated = true;
    });
}

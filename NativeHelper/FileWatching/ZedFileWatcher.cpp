#include "FileWatching/ZedFileWatcher.h"

#include <sys/stat.h>

#include <cinttypes>
#include <vector>

#include "Categories/ZedUnixTimeInMS.h"
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

void ZedFileWatcher::onWatcherQueue(const std::function<void()>& body) {
    // The queue must outlive the call even when the watcher does not.
    const std::shared_ptr<ZedDispatchQueue> queue = _vtFileWatcherQueue;
    std::weak_ptr<ZedFileWatcher> weakSelf = weak_from_this();
    zed::dispatch_sync_to_queue(queue.get(), [&weakSelf, &body] {
        const auto strongSelf = weakSelf.lock();
        if (!strongSelf) {
            ZedLogError(ZedLogMaskInfo, ZedLogContextPlatform, "strongSelf is nil");
            return;
        }
        body();
    });
}

void ZedFileWatcher::createFileStream() {
    WatcherLogDebug("Creating file stream.");
    onWatcherQueue([this] {
        if (_watchedPaths.empty()) {
            WatcherLogDebug("Attempting to create file stream with no paths.");
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
    onWatcherQueue([this] {
        // The old stream keeps its trees recorded until the new one has taken them over.
        const std::shared_ptr<ZedEventStream> previous = _eventStreamRef;
        cancel();
        createFileStream();
        _recordingHold.reset();
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
    onWatcherQueue([this] {
        if (!_streamStarted && _eventStreamRef) {
            _eventStreamRef->unscheduleFromRunLoop();
        }
    });
}

void ZedFileWatcher::startWatching() {
    WatcherLogDebug("Start watching file stream.");
    onWatcherQueue([this] {
        if (_streamStarted) {
            return;
        }
        if (_watchedPaths.empty()) {
            WatcherLogDebug("No paths to watch, not starting)");
            return;
        }
        if (!_eventStreamRef) {
            WatcherLogWarn("Event stream expected. None found. Rebuilding.");
            rebuildFileStream();
            if (!_eventStreamRef) {
                WatcherLogWarn("Failed to rebuild event stream. Not Watching.");
                return;
            }
        }
        WatcherLogDebug("Stream starting");
        _timeSinceLastEvent.store(ZedUnixTimeInMS::unixTimeInMS());
        _eventStreamRef->start();
        _streamStarted = true;
        const std::uint64_t batch = ++_batchNumber;
        std::weak_ptr<ZedFileWatcher> weakSelf = weak_from_this();
        _vtFileWatcherQueue->after(kBatchLimit, [weakSelf, batch] {
            if (const auto strongSelf = weakSelf.lock()) {
                strongSelf->stopBatch(batch);
            }
        });
    });
}

void ZedFileWatcher::stopWatching() {
    WatcherLogDebug("Stop watching file stream.");
    onWatcherQueue([this] {
        if (!_streamStarted || !_eventStreamRef) {
            return;
        }
        _finishedCallback();
        WatcherLogDebug("Stream stopping");
        _eventStreamRef->stop();
        _streamStarted = false;
    });
}

void ZedFileWatcher::stopBatch(std::uint64_t batch) {
    onWatcherQueue([this, batch] {
        if (_batchNumber == batch) {
            stopWatching();
        }
    });
}

void ZedFileWatcher::cancel() {
    WatcherLogDebug("Cancelling file stream.");
    onWatcherQueue([this] {
        if (!_eventStreamRef) {
            return;
        }
        stopWatching();
        unscheduleFSEventStream();
        _eventStreamRef->invalidate();
        _eventStreamRef.reset();
    });
}

void ZedFileWatcher::loadLatestEventId() {
    onWatcherQueue([this] {
        _lastEventId.store(ZedEventJournal::shared().currentEventId());
        WatcherLogDebug("Loaded last event id: (%" PRIu64 ")", _lastEventId.load());
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
    onWatcherQueue([this, &paths, adding] {
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
    onWatcherQueue([this, &copy] { copy = _watchedPaths; });
    return copy;
}

void ZedFileWatcher::getFileEventBatch() {
    WatcherLogDebug("Getting file event batch.");
    onWatcherQueue([this] {
        if (_streamStarted) {
            if (!_watchedPathsChanged) {
                return;
            }
            rebuildFileStream();
        }
        WatcherLogDebug("file watching batch from file event id (%" PRIu64 ")",
                        _lastEventId.load());
        if (!_eventStreamRef) {
            createFileStream();
        } else if (_watchedPathsChanged) {
            WatcherLogDebug("Watched paths were changed since last batch.");
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
        onWatcherQueue([this] {
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
    _fileEventQueue->async([self, events = std::move(events)] {
        for (const auto& event : events) {
            // The end-of-history marker names no item; it only ends the batch.
            if (event.flags != ZedEventFlags::kHistoryDone) {
                self->processCallbackForEventPath(event.path, event.flags, event.id);
            }
            if (event.flags & ZedEventFlags::kHistoryDone) {
                WatcherLogDebug(
                    "Received the last of historical events. Stop watching.  Last path: (%s)",
                    event.path.c_str());
                self->stopWatching();
                break;
            }
        }
        self->_finishedCallback();
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
        _fileDeletedCallback(path.c_str(), ZedFileWatcherUtilities::flagsIndicateDirectory(flags));
        return;
    }
    if (ZedFileWatcherUtilities::flagsIndicateCreateEvent(flags)) {
        _fileCreatedCallback(path.c_str(), isDirectory);
    } else {
        _fileModifiedCallback(path.c_str(), isDirectory);
    }
    if ((flags & (ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kItemRenamed)) && isDirectory) {
        WatcherLogDebug("Need to scan subdirs for (%s)", path.c_str());
        _scanDirectoryCallback(path.c_str());
    }
}

void ZedFileWatcher::invalidate() {
    onWatcherQueue([this] {
        cancel();
        _recordingHold.reset();
        _watcherRunLoop->stop();
        _context = {};
    });
}

#include "FileOpenDetection/ZedFileOpenDetector.h"

#include <pwd.h>
#include <unistd.h>

#include "Dispatch/zed_dispatch_helpers.h"

namespace {

constexpr int kError = 3;

std::string queueLabel(const char* role, const void* owner) {
    return zed::dispatch_queue_label("ZedFileOpenDetector", role, owner);
}

// The account name of a user id; empty when it has none.
std::string userName(std::uint32_t userId) {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (getpwuid_r(userId, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found ? found->pw_name : "";
}

}  // namespace

std::shared_ptr<ZedFileOpenDetector> ZedFileOpenDetector::initWithCallback(
    Callback callback, LogCallback logCallback, int logLevel,
    const std::vector<std::string>& processNames, const std::vector<std::string>& includedPaths,
    const std::vector<std::string>& excludedPaths, std::shared_ptr<ZedTracer> tracer) {
    std::shared_ptr<ZedFileOpenDetector> detector(new ZedFileOpenDetector());
    detector->_logCallback = logCallback;
    detector->_logLevel = logLevel;
    detector->_logQueue = zed::dispatch_queue_create(queueLabel("log", detector.get()).c_str(),
                                                     ZedDispatchQueueKind::concurrent);
    if (!detector->_logQueue) {
        return nullptr;
    }
    const std::pair<bool, const char*> checks[] = {
        {!callback, "callback is nil"},
        {processNames.empty(), "processNames is nil or empty"},
        {includedPaths.empty(), "includedPaths is nil or empty"},
    };
    for (const auto& [missing, message] : checks) {
        if (missing) {
            detector->log(message, kError);
            return failed(*detector);
        }
    }
    detector->_callback = callback;
    detector->_fileAccessWatcher =
        ZedFileAccessWatcher::initWithDelegate(detector, processNames, std::move(tracer));
    std::string offending;
    detector->_pathRules = ZedOpenPathRules::make(includedPaths, excludedPaths, offending);
    if (!detector->_pathRules) {
        detector->log(
            "excludedPaths contains the same path as includedPaths. Unable to create "
            "detector. Offending path: (" +
                offending + ")",
            kError);
        return failed(*detector);
    }
    detector->_notifyQueue = zed::dispatch_queue_create(
        queueLabel("notify", detector.get()).c_str(), ZedDispatchQueueKind::serial);
    detector->_pathsQueue = zed::dispatch_queue_create(queueLabel("paths", detector.get()).c_str(),
                                                       ZedDispatchQueueKind::serial);
    if (!detector->_fileAccessWatcher || !detector->_notifyQueue || !detector->_pathsQueue) {
        detector->log("unable to create the detector's queues", kError);
        return failed(*detector);
    }
    return detector;
}

std::shared_ptr<ZedFileOpenDetector> ZedFileOpenDetector::failed(
    const ZedFileOpenDetector& detector) {
    detector._logQueue->barrierSync([] {});
    return nullptr;
}

ZedFileOpenDetector::~ZedFileOpenDetector() {
    if (_fileAccessWatcher) {
        _fileAccessWatcher->invalidate();
    }
}

void ZedFileOpenDetector::enable() {
    _fileAccessWatcher->start();
}

void ZedFileOpenDetector::disable() {
    _fileAccessWatcher->stop();
}

void ZedFileOpenDetector::invalidate() {
    _callbacks->close();
    if (_fileAccessWatcher) {
        _fileAccessWatcher->invalidate();
    }
    zed::dispatch_sync_to_queue(_pathsQueue.get(), [this] { _pathRules.reset(); });
    _callback = nullptr;
}

void ZedFileOpenDetector::fileOpened(const std::string& path, const std::string& processName,
                                     std::uint32_t userId, std::int64_t time) {
    std::weak_ptr<ZedFileOpenDetector> weakSelf = weak_from_this();
    _notifyQueue->async([weakSelf, path, processName, userId, time] {
        const auto self = weakSelf.lock();
        if (!self) {
            return;
        }
        self->_callbacks->pass([&] {
            if (!self->_callback || !self->isFileWatched(path)) {
                return;
            }
            const std::string user = userName(userId);
            const zed_file_opened_record_t record{path.c_str(), processName.c_str(), user.c_str(),
                                                  time};
            self->_callback(&record);
        });
    });
}

bool ZedFileOpenDetector::isFileWatched(const std::string& path) {
    bool watched = false;
    zed::dispatch_sync_to_queue(_pathsQueue.get(), [this, &path, &watched] {
        watched = _pathRules && _pathRules->isFileWatched(path);
    });
    return watched;
}

// The block carries what it needs, so that what a construction that then fails has logged is
// still delivered.
void ZedFileOpenDetector::log(const std::string& message, int logLevel) {
    if (_logLevel < logLevel || !_logCallback) {
        return;
    }
    _logQueue->async([gate = _callbacks, callback = _logCallback, message, logLevel] {
        gate->pass([&] { callback(message.c_str(), logLevel); });
    });
}

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Dispatch/ZedDispatchQueue.h"
#include "FileOpenDetection/ZedCallbackGate.h"
#include "FileOpenDetection/ZedFileAccessWatcher.h"
#include "FileOpenDetection/ZedFileAccessWatcherDelegate.h"
#include "FileOpenDetection/ZedOpenPathRules.h"
#include "include/vtnative.h"
#include "platform/tracing/ZedTracer.h"

// Tells the caller which files the traced processes open under its included directories. The
// access watcher reports every opening; the path rules, read only on the paths queue, pick the
// ones that concern the caller; the callback runs on the notify queue, one opening at a time in
// order, and the log callback on the concurrent log queue. A gate in front of both lets
// invalidate() return only once none of them runs or will.
class ZedFileOpenDetector : public ZedFileAccessWatcherDelegate,
                            public std::enable_shared_from_this<ZedFileOpenDetector> {
  public:
    using Callback = zed_file_opened_callback_t;
    using LogCallback = zed_detector_log_callback_t;

    // Null, with the reason logged at level 3, for a missing callback, no process names, no
    // included paths, or an excluded path that is also included or listed twice.
    static std::shared_ptr<ZedFileOpenDetector> initWithCallback(
        Callback callback, LogCallback logCallback, int logLevel,
        const std::vector<std::string>& processNames, const std::vector<std::string>& includedPaths,
        const std::vector<std::string>& excludedPaths, std::shared_ptr<ZedTracer> tracer);
    ~ZedFileOpenDetector() override;
    ZedFileOpenDetector(const ZedFileOpenDetector&) = delete;
    ZedFileOpenDetector& operator=(const ZedFileOpenDetector&) = delete;

    void enable();
    void disable();
    void invalidate();
    void fileOpened(const std::string& path, const std::string& processName, std::uint32_t userId,
                    std::int64_t time) override;
    bool isFileWatched(const std::string& path);
    void log(const std::string& message, int logLevel) override;

    int logLevel() const { return _logLevel; }
    ZedFileAccessWatcher* fileAccessWatcher() const { return _fileAccessWatcher.get(); }

  private:
    ZedFileOpenDetector() = default;
    // Delivers what a failed construction logged before the caller hears of the failure.
    static std::shared_ptr<ZedFileOpenDetector> failed(const ZedFileOpenDetector& detector);

    int _logLevel = 0;
    std::shared_ptr<ZedDispatchQueue> _pathsQueue;
    std::shared_ptr<ZedDispatchQueue> _notifyQueue;
    std::shared_ptr<ZedDispatchQueue> _logQueue;
    // The four path fields: included, excluded, all of them longest first, and which is which.
    std::optional<ZedOpenPathRules> _pathRules;
    Callback _callback = nullptr;
    LogCallback _logCallback = nullptr;
    std::shared_ptr<ZedFileAccessWatcher> _fileAccessWatcher;
    std::shared_ptr<ZedCallbackGate> _callbacks = std::make_shared<ZedCallbackGate>();
};

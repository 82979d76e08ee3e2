// The file-open detection family of the C interface. A handle owns one reference to its
// detector until invalidate_detector() lets it go.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "Categories/ZedCStringArray.h"
#include "FileOpenDetection/ZedFileOpenDetector.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "include/vtnative.h"
#include "platform/tracing/ZedBpftrace.h"

namespace {

using Handle = std::shared_ptr<ZedFileOpenDetector>;

constexpr int kError = 3;

// Nothing the detector throws may cross into the caller's C code.
template <typename Body>
void guarded(const char* function, Body body) {
    try {
        body();
    } catch (const std::exception& exception) {
        ZedLogErrorIn(function, ZedLogMaskInfo, ZedLogContextPlatform, "%s failed: %s", function,
                      exception.what());
    } catch (...) {
        ZedLogErrorIn(function, ZedLogMaskInfo, ZedLogContextPlatform, "%s failed", function);
    }
}

ZedFileOpenDetector* detectorOf(void* handle) {
    return handle ? static_cast<Handle*>(handle)->get() : nullptr;
}

}  // namespace

extern "C" {

void _execute_log_callback(zed_detector_log_callback_t logCallback, int32_t threshold,
                           const char* message, int32_t level) {
    if (logCallback && level >= threshold) {
        logCallback(message, level);
    }
}

void* create_detector(zed_file_opened_callback_t callback, zed_detector_log_callback_t logCallback,
                      int32_t logLevel, const char* const* processNames, int32_t numNames,
                      const char* const* includedPaths, int32_t numIncPaths,
                      const char* const* excludedPaths, int32_t numExcPaths) {
    const std::pair<bool, const char*> checks[] = {
        {!callback, "callback is nil"},
        {!processNames, "processNames is nil"},
        {numNames < 1, "numNames is less than 1"},
        {!includedPaths, "includedPaths is nil"},
        {numIncPaths < 1, "numIncPaths is less than 1"},
        {numExcPaths < 0, "numExcPaths is less than 0"},
        {!excludedPaths && numExcPaths != 0, "excludedPaths is nil but numExcPaths is non-zero"},
    };
    for (const auto& [failed, message] : checks) {
        if (failed) {
            _execute_log_callback(logCallback, logLevel, message, kError);
            return nullptr;
        }
    }
    void* handle = nullptr;
    guarded("create_detector", [&] {
        const std::vector<std::string> names =
            ZedCStringArray::arrayOfStringsWithCStrings(processNames, numNames);
        const std::vector<std::string> included =
            ZedCStringArray::arrayOfStringsWithCStrings(includedPaths, numIncPaths);
        const std::vector<std::string> excluded =
            ZedCStringArray::arrayOfStringsWithCStrings(excludedPaths, numExcPaths);
        const std::pair<bool, const char*> counts[] = {
            {names.size() < static_cast<std::size_t>(numNames),
             "Number of processes doesn't match number given. Unable to create open detector."},
            {included.size() < static_cast<std::size_t>(numIncPaths),
             "Number of included paths doesn't match number given. Unable to create open "
             "detector."},
            {excluded.size() < static_cast<std::size_t>(numExcPaths),
             "Number of excluded paths doesn't match number given. Unable to create open "
             "detector."},
        };
        for (const auto& [failed, message] : counts) {
            if (failed) {
                _execute_log_callback(logCallback, logLevel, message, kError);
                return;
            }
        }
        Handle detector =
            ZedFileOpenDetector::initWithCallback(callback, logCallback, logLevel, names, included,
                                                  excluded, std::make_shared<ZedBpftrace>());
        if (detector) {
            handle = new Handle(std::move(detector));
        }
    });
    return handle;
}

// The handle stays readable until the detector's callbacks are over, as they may still use it.
void invalidate_detector(void* handle) {
    if (ZedFileOpenDetector* detector = detectorOf(handle)) {
        guarded("invalidate_detector", [&] { detector->invalidate(); });
        delete static_cast<Handle*>(handle);
    }
}

void start_detection(void* handle) {
    if (ZedFileOpenDetector* detector = detectorOf(handle)) {
        guarded("start_detection", [&] { detector->enable(); });
    }
}

void stop_detection(void* handle) {
    if (ZedFileOpenDetector* detector = detectorOf(handle)) {
        guarded("stop_detection", [&] { detector->disable(); });
    }
}

}  // extern "C"

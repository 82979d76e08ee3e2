// The file-watching family of the C interface. A handle owns one reference to its watcher until
// invalidate() lets it go.
#include <exception>
#include <memory>
#include <set>
#include <string>

#include "Categories/ZedCStringArray.h"
#include "Categories/ZedUTF8.h"
#include "FileWatching/ZedFileWatcher.h"
#include "Logging/ZedLogging/ZedConsoleLogger.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "Logging/ZedLogging/ZedLogLevels.h"
#include "include/vtnative.h"

#define WrapperLogError(...) \
    ZedLogError(ZedLogLevels::wrapperMask(), ZedLogContextFile, __VA_ARGS__)

namespace {

using Handle = std::shared_ptr<ZedFileWatcher>;

// Nothing the watcher throws may cross into the caller's C code.
template <typename Body>
void guarded(const char* function, Body body) {
    try {
        body();
    } catch (const std::exception& exception) {
        ZedLogErrorIn(function, ZedLogLevels::wrapperMask(), ZedLogContextFile, "%s failed: %s",
                      function, exception.what());
    } catch (...) {
        ZedLogErrorIn(function, ZedLogLevels::wrapperMask(), ZedLogContextFile, "%s failed",
                      function);
    }
}

// The watcher of a handle, or null with "fileWatcher is nil" logged.
ZedFileWatcher* watcherOf(void* handle) {
    if (!handle) {
        WrapperLogError("fileWatcher is nil");
        return nullptr;
    }
    return static_cast<Handle*>(handle)->get();
}

std::set<std::string> pathSet(const char* const* paths, int32_t numPaths) {
    const auto strings = ZedCStringArray::arrayOfStringsWithCStrings(paths, numPaths);
    return {strings.begin(), strings.end()};
}

// Whether a path given to add or remove is text; if not, the reason is logged.
bool convertible(const char* path, bool adding) {
    if (ZedUTF8::isValid(path)) {
        return true;
    }
    WrapperLogError(adding ? "Unable to create string from C string: (%s).  Not adding to "
                             "watched paths."
                           : "Unable to create string from C string: (%s).  Not removing "
                             "from watched paths.",
                    path);
    return false;
}

void changePath(void* handle, const char* path, bool adding) {
    if (!path) {
        WrapperLogError("path is null");
        return;
    }
    ZedFileWatcher* watcher = watcherOf(handle);
    if (!watcher || !convertible(path, adding)) {
        return;
    }
    guarded(adding ? "add_path" : "remove_path", [&] {
        if (adding) {
            watcher->addPathToWatch(path);
        } else {
            watcher->removePathToWatch(path);
        }
    });
}

void changePaths(void* handle, const char* const* paths, int32_t numPaths, bool adding) {
    if (!paths) {
        WrapperLogError("paths is null");
        return;
    }
    if (numPaths < 1) {
        WrapperLogError("numPaths is < 1");
        return;
    }
    ZedFileWatcher* watcher = watcherOf(handle);
    if (!watcher) {
        return;
    }
    guarded(adding ? "add_paths" : "remove_paths", [&] {
        std::set<std::string> changed;
        for (int32_t i = 0; i < numPaths; ++i) {
            if (paths[i] && convertible(paths[i], adding)) {
                changed.insert(paths[i]);
            }
        }
        if (adding) {
            watcher->addPathsToWatch(changed);
        } else {
            watcher->removePathsToWatch(changed);
        }
    });
}

}  // namespace

extern "C" {

void* create_watcher(zed_file_event_callback_t created, zed_file_event_callback_t modified,
                     zed_file_event_callback_t deleted, zed_scan_directory_callback_t scan,
                     zed_events_finished_callback_t finished, const char* const* paths,
                     int32_t numPaths) {
    ZedConsoleLogger::installOnce();
    const std::pair<bool, const char*> checks[] = {
        {!paths, "paths is null"},
        {numPaths < 1, nullptr},
        {!created, "created_callback is null"},
        {!modified, "modified_callback is null"},
        {!deleted, "deleted_callback is null"},
        {!scan, "scan_callback is null"},
        {!finished, "finished_callback is null"},
    };
    for (const auto& [failed, message] : checks) {
        if (!failed) {
            continue;
        }
        if (message) {
            WrapperLogError("%s", message);
        } else {
            WrapperLogError("numPaths (%i) is less than one", numPaths);
        }
        return nullptr;
    }
    void* handle = nullptr;
    guarded("create_watcher", [&] {
        Handle watcher = ZedFileWatcher::initWithDirectoryPaths(pathSet(paths, numPaths), created,
                                                                modified, deleted, scan, finished);
        if (watcher) {
            handle = new Handle(std::move(watcher));
        }
    });
    return handle;
}

// The handle stays readable until the watcher's callbacks are over, as they may still use it.
void invalidate(void* handle) {
    ZedFileWatcher* watcher = watcherOf(handle);
    if (!watcher) {
        return;
    }
    guarded("invalidate", [&] { watcher->invalidate(); });
    delete static_cast<Handle*>(handle);
}

void wakeup(void* handle) {
    if (ZedFileWatcher* watcher = watcherOf(handle)) {
        guarded("wakeup", [&] { watcher->getFileEventBatch(); });
    }
}

void start_watching_all(void* handle) {
    if (ZedFileWatcher* watcher = watcherOf(handle)) {
        guarded("start_watching_all", [&] { watcher->startWatching(); });
    }
}

void stop_watching_all(void* handle) {
    if (ZedFileWatcher* watcher = watcherOf(handle)) {
        guarded("stop_watching_all", [&] { watcher->stopWatching(); });
    }
}

void add_path(void* handle, const char* path) {
    changePath(handle, path, true);
}

void add_paths(void* handle, const char* const* paths, int32_t numPaths) {
    changePaths(handle, paths, numPaths, true);
}

void remove_path(void* handle, const char* path) {
    changePath(handle, path, false);
}

void remove_paths(void* handle, const char* const* paths, int32_t numPaths) {
    changePaths(handle, paths, numPaths, false);
}

}  // extern "C"

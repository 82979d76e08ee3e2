/* The C interface of libvtnative, the native helper library of the Vaultor backup service. Any
 * thread may call any function. No function aborts or lets a C++ exception out on bad input: it
 * logs one message and returns null, -1 or nothing. */
#ifndef VTNATIVE_H
#define VTNATIVE_H

#include <stddef.h>
#include <stdint.h>

#define VTNATIVE_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Log levels, read by the caller and passed back to set_log_level. The number is used directly
 * as the mask of severities that are logged (1 fatal, 2 error, 4 warning). */
VTNATIVE_EXPORT extern const int32_t LEVEL_OFF;
VTNATIVE_EXPORT extern const int32_t LEVEL_FATAL;
VTNATIVE_EXPORT extern const int32_t LEVEL_ERROR;
VTNATIVE_EXPORT extern const int32_t LEVEL_WARN;
VTNATIVE_EXPORT extern const int32_t LEVEL_INFO;
VTNATIVE_EXPORT extern const int32_t LEVEL_DEBUG;
VTNATIVE_EXPORT extern const int32_t LEVEL_TRACE;
VTNATIVE_EXPORT extern const int32_t LEVEL_ALL;

/* Separator text between fields of one string; equals the symbol's own name. */
VTNATIVE_EXPORT extern const char* const kZedGenericStringSeparator;

/* Sets the process-wide log mask of the file-watching family. The watcher handle is not used
 * and may be null. */
VTNATIVE_EXPORT void set_log_level(void* watcher, int32_t level);

/* ---- File watching ---- */

/* Callbacks of a watcher. Paths live for the call only. isDirectory is 1 for a directory.
 *
 * Threads: every callback of a watcher (created, modified, deleted, scan and finished alike) runs
 * on a thread of the library's pool, one at a time and in order, never inside a call into this
 * interface nor inside another callback; the thread may change from one callback to the next.
 * The finished callback follows the events of each delivered group and each end of a batch (end
 * of the history, the one-second limit, a late event, stop_watching_all, a path change that
 * rebuilds the stream); the one of stop_watching_all may come after that call has returned.
 *
 * Re-entrancy: a callback may call any function of this interface on any watcher, its own
 * included. Such a call does what it does from anywhere else; the callbacks it causes come after
 * the running one has returned, so nothing recurses. A batch is over before its finished
 * callback runs: stop_watching_all from there does nothing, wakeup starts the next batch. */
typedef void (*zed_file_event_callback_t)(const char* path, int isDirectory);
typedef void (*zed_scan_directory_callback_t)(const char* directoryPath);
typedef void (*zed_events_finished_callback_t)(void);

/* A watcher of the directory trees named by the first numPaths paths (UTF-8; others are skipped
 * with a warning), or NULL with the reason logged. Nothing that happened before the call is
 * reported. The first call installs the console logger. */
VTNATIVE_EXPORT void* create_watcher(zed_file_event_callback_t created,
                                     zed_file_event_callback_t modified,
                                     zed_file_event_callback_t deleted,
                                     zed_scan_directory_callback_t scan,
                                     zed_events_finished_callback_t finished,
                                     const char* const* paths, int32_t numPaths);

/* Ends the watcher. Returns once no callback of the watcher runs and none will: what the
 * callbacks use may be freed then. Called from inside one of the watcher's own callbacks (also
 * from a block that callback runs on a queue), it does not wait for that callback: it returns at
 * once, and no further callback follows. From a callback of another watcher it waits like any
 * caller, so two callbacks must not invalidate each other's watchers at the same time. Until it
 * returns, the watcher's callbacks may still use the handle (their calls do nothing once the
 * watcher has ended); after it returns, nobody may. */
VTNATIVE_EXPORT void invalidate(void* watcher);

/* Reports, through the callbacks, everything changed since the last reported event and then
 * calls the finished callback; does nothing while a batch is running with unchanged paths. */
VTNATIVE_EXPORT void wakeup(void* watcher);
VTNATIVE_EXPORT void start_watching_all(void* watcher);
VTNATIVE_EXPORT void stop_watching_all(void* watcher);

VTNATIVE_EXPORT void add_path(void* watcher, const char* path);
VTNATIVE_EXPORT void add_paths(void* watcher, const char* const* paths, int32_t numPaths);
VTNATIVE_EXPORT void remove_path(void* watcher, const char* path);
VTNATIVE_EXPORT void remove_paths(void* watcher, const char* const* paths, int32_t numPaths);

/* The event stream's callback inside the library; callers never call it (a null info is
 * ignored). eventPaths is an array of numEvents C strings. */
VTNATIVE_EXPORT void fileEventCallback(const void* stream, void* info, size_t numEvents,
                                       void* eventPaths, const uint32_t eventFlags[],
                                       const uint64_t eventIds[]);

/* ---- File-open detection ---- */

/* One opening of a file by a traced process. The record and its strings live for the call only.
 * userName is empty when the user id has no account; time is in milliseconds since 1970-01-01
 * UTC, taken when the opening was read from the tracing tool. */
typedef struct {
    const char* path;
    const char* processName;
    const char* userName;
    int64_t time;
} zed_file_opened_record_t;

typedef void (*zed_file_opened_callback_t)(const zed_file_opened_record_t* record);
typedef void (*zed_detector_log_callback_t)(const char* message, int32_t level);

/* A detector of the files that the named processes open under the included directories and not
 * under a more specific excluded one, or NULL with the reason passed to logCallback (when it is
 * set and logLevel is at most LEVEL_ERROR). A process name matches on its first 15 bytes, the
 * name of the process's main thread as the kernel keeps it. Tracing uses bpftrace and needs root
 * (or CAP_BPF and CAP_PERFMON); what is missing is logged when detection starts.
 *
 * Threads: the callback runs on a library thread, one opening at a time in order; log callbacks
 * run on library threads and may overlap one another. Messages of the running detector reach
 * logCallback when their level is at most logLevel. */
VTNATIVE_EXPORT void* create_detector(zed_file_opened_callback_t callback,
                                      zed_detector_log_callback_t logCallback, int32_t logLevel,
                                      const char* const* processNames, int32_t numNames,
                                      const char* const* includedPaths, int32_t numIncPaths,
                                      const char* const* excludedPaths, int32_t numExcPaths);

/* Ends the detector and its tracing. Returns once no callback of the detector runs and none
 * will; called from inside one of its own callbacks it returns without waiting for that one. The
 * handle must not be used afterwards. A null handle does nothing. */
VTNATIVE_EXPORT void invalidate_detector(void* detector);

/* Starts tracing; does nothing while tracing runs. When the tracing tool ends by itself, that is
 * logged and the next start_detection starts it again. */
VTNATIVE_EXPORT void start_detection(void* detector);

/* Stops tracing and returns once the tracing tool has ended. */
VTNATIVE_EXPORT void stop_detection(void* detector);

/* Calls logCallback(message, level) when logCallback is set and level is at least threshold. */
VTNATIVE_EXPORT void _execute_log_callback(zed_detector_log_callback_t logCallback,
                                           int32_t threshold, const char* message, int32_t level);

/* ---- System information ---- */

/* Lists "/" and the removable media mounted under /media and /run/media. On success both
 * outputs hold heap arrays (null-terminated) of as many entries as the result; free each with
 * zed_free_cstring_array(array, result). Returns 0 when nothing is mounted (outputs null) and
 * -1 on failure. */
VTNATIVE_EXPORT int32_t zed_fetch_volumes(char*** volumePaths, char*** volumeNames);

/* Frees the first `count` strings of a heap string array, then the array. Null does nothing. */
VTNATIVE_EXPORT void zed_free_cstring_array(char** array, int32_t count);

/* 1 when the first battery runs without a charger, else 0 (also without a battery). */
VTNATIVE_EXPORT int32_t isRunningOnBattery(void);

/* The first battery's charge in percent, 0 to 100; 100 when unknown. */
VTNATIVE_EXPORT int32_t batteryCharge(void);

/* {name, hardware address, NULL} of the first Wi-Fi interface, or {NULL} when it is not on a
 * network. Library storage, overwritten by the next call: copy what you need. */
VTNATIVE_EXPORT char** currentSSIDAndMAC(void);

/* Up to 100 known and visible network names, sorted, NULL-terminated. Library storage,
 * overwritten by the next call. */
VTNATIVE_EXPORT char** networkSSIDs(void);

/* {proxy auto-configuration address or NULL, NULL}. Library storage, overwritten by the next
 * call. */
VTNATIVE_EXPORT char** getProxyAutoconfigURLs(void);

/* ---- Queue helpers ---- */

typedef struct zed_dispatch_queue_s* zed_dispatch_queue_t;

/* Queue attributes. A plain integer, so that any value a caller passes is safe to check. */
typedef int32_t zed_dispatch_queue_attr_t;
enum { ZED_DISPATCH_QUEUE_SERIAL = 0, ZED_DISPATCH_QUEUE_CONCURRENT = 1 };

/* A block: a function called with the context pointer given beside it. A block given to a
 * synchronous call runs on the calling thread, once the queue lets it start; one given to
 * zed_dispatch_async_to_main runs on the library's main-queue thread. */
typedef void (*zed_dispatch_block_t)(void* context);

/* A new queue marked with its identity, or NULL for unknown attributes or when none can be made.
 * Release it with zed_dispatch_queue_release; blocks already submitted still run, and a call
 * that waits on the queue when it is released returns normally once its block has run. */
VTNATIVE_EXPORT zed_dispatch_queue_t
zed_dispatch_queue_create(const char* label, zed_dispatch_queue_attr_t attributes);
VTNATIVE_EXPORT void zed_dispatch_queue_release(zed_dispatch_queue_t queue);

/* 1 when the calling code runs on the queue, else 0 (also for NULL). */
VTNATIVE_EXPORT int32_t zed_dispatch_is_current_queue_equal_to_queue(zed_dispatch_queue_t queue);

/* Runs block(context) on the queue and returns after it ran; runs it at once when the caller
 * already runs on that queue. */
VTNATIVE_EXPORT void zed_dispatch_sync_to_queue(zed_dispatch_queue_t queue,
                                                zed_dispatch_block_t block, void* context);

/* Runs block(context) alone on the queue and returns after it ran. From the queue itself it
 * logs the error and does not run the block. */
VTNATIVE_EXPORT void zed_dispatch_attempt_barrier_sync_to_queue(zed_dispatch_queue_t queue,
                                                                zed_dispatch_block_t block,
                                                                void* context);

/* Runs block(context) on the library's main queue: later on its thread (async), or on the
 * calling thread after the blocks queued before it (sync). */
VTNATIVE_EXPORT void zed_dispatch_async_to_main(zed_dispatch_block_t block, void* context);
VTNATIVE_EXPORT void zed_dispatch_sync_to_main(zed_dispatch_block_t block, void* context);

/* 1 when the caller runs on the queue; else logs why and returns 0. */
VTNATIVE_EXPORT int32_t zed_dispatch_verify_using_queue(zed_dispatch_queue_t queue);

#ifdef __cplusplus
}
#endif

#endif

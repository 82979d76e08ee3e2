/* Drives the file watcher through libvtnative.so's C interface on temporary trees, as the Java
 * service does: batches by wakeup, the callbacks' paths and flags, argument errors (read back
 * from the console log on standard error), floods, racing writers and invalidation. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "tests/vtnative_c_test_support.h"
#include "vtnative.h"

/* ---- What the callbacks saw ---- */

typedef struct {
    char kind; /* 'C'reated, 'M'odified, 'D'eleted, 'S'can */
    int isDirectory;
    char* path;
} Record;

static pthread_mutex_t recordsMutex = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t recordsChanged = PTHREAD_COND_INITIALIZER;
static Record* records;
static size_t recordCount, recordCapacity;
static int finishedCount;
static void (*duringCallback)(void);
static void (*duringFinished)(void);
/* Set once a watcher's invalidate has returned: every callback after it is counted. */
static int invalidateReturned;
static int callsAfterInvalidate;

static void countIfLate(void) {
    if (__atomic_load_n(&invalidateReturned, __ATOMIC_SEQ_CST)) {
        __atomic_add_fetch(&callsAfterInvalidate, 1, __ATOMIC_SEQ_CST);
    }
}

static void remember(char kind, const char* path, int isDirectory) {
    countIfLate();
    pthread_mutex_lock(&recordsMutex);
    if (recordCount == recordCapacity) {
        recordCapacity = recordCapacity ? recordCapacity * 2 : 256;
        records = realloc(records, recordCapacity * sizeof *records);
    }
    records[recordCount++] = (Record){kind, isDirectory, strdup(path)};
    void (*hook)(void) = duringCallback;
    pthread_mutex_unlock(&recordsMutex);
    if (hook) {
        hook();
    }
}

static void onCreated(const char* path, int isDirectory) {
    remember('C', path, isDirectory);
}
static void onModified(const char* path, int isDirectory) {
    remember('M', path, isDirectory);
}
static void onDeleted(const char* path, int isDirectory) {
    remember('D', path, isDirectory);
}
static void onScan(const char* path) {
    remember('S', path, 1);
}
static void onFinished(void) {
    countIfLate();
    pthread_mutex_lock(&recordsMutex);
    ++finishedCount;
    pthread_cond_broadcast(&recordsChanged);
    void (*hook)(void) = duringFinished;
    pthread_mutex_unlock(&recordsMutex);
    if (hook) {
        hook();
    }
}

static void setHooks(void (*callback)(void), void (*finishedHook)(void)) {
    pthread_mutex_lock(&recordsMutex);
    duringCallback = callback;
    duringFinished = finishedHook;
    pthread_mutex_unlock(&recordsMutex);
}

/* Waits (generously) until *value reaches target. */
static int waitForAtLeast(const int* value, int target) {
    for (int i = 0; i < 6000; ++i) {
        if (__atomic_load_n(value, __ATOMIC_SEQ_CST) >= target) {
            return 1;
        }
        usleep(10000);
    }
    return 0;
}

static void forgetRecords(void) {
    pthread_mutex_lock(&recordsMutex);
    for (size_t i = 0; i < recordCount; ++i) {
        free(records[i].path);
    }
    recordCount = 0;
    pthread_mutex_unlock(&recordsMutex);
}

static int finished(void) {
    pthread_mutex_lock(&recordsMutex);
    const int count = finishedCount;
    pthread_mutex_unlock(&recordsMutex);
    return count;
}

/* Waits (generously) until the finished callback has run `target` times in all. */
static int waitForFinished(int target) {
    struct timespec deadline;
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += 60;
    pthread_mutex_lock(&recordsMutex);
    int timedOut = 0;
    while (finishedCount < target && !timedOut) {
        timedOut = pthread_cond_timedwait(&recordsChanged, &recordsMutex, &deadline) == ETIMEDOUT;
    }
    const int reached = finishedCount >= target;
    pthread_mutex_unlock(&recordsMutex);
    return reached;
}

/* Waits until no finished callback has come for a while: the watcher's own timer may still
   start a batch for events that arrived late, which a slow (sanitized) run makes likely. */
static int settledFinished(void) {
    int count = finished();
    for (int quiet = 0; quiet < 150;) {
        usleep(10000);
        const int now = finished();
        quiet = now == count ? quiet + 1 : 0;
        count = now;
    }
    return count;
}

/* One batch: the end of the history and the end of the delivered group each call finished. */
static void batch(void* watcher) {
    const int before = finished();
    EXPORT(wakeup)(watcher);
    CHECK(waitForFinished(before + 2));
}

/* Index of the first record of `kind` at `path` from `from` on, or -1. */
static long find(char kind, const char* path, size_t from) {
    pthread_mutex_lock(&recordsMutex);
    long found = -1;
    for (size_t i = from; i < recordCount && found < 0; ++i) {
        if ((kind == '*' || records[i].kind == kind) && strcmp(records[i].path, path) == 0) {
            found = (long)i;
        }
    }
    pthread_mutex_unlock(&recordsMutex);
    return found;
}

static int isDirectoryAt(long index) {
    pthread_mutex_lock(&recordsMutex);
    const int isDirectory = records[index].isDirectory;
    pthread_mutex_unlock(&recordsMutex);
    return isDirectory;
}

static size_t recorded(void) {
    pthread_mutex_lock(&recordsMutex);
    const size_t count = recordCount;
    pthread_mutex_unlock(&recordsMutex);
    return count;
}

/* ---- Trees and files ---- */

static char* pathIn(const char* directory, const char* name) {
    char* path;
    CHECK(asprintf(&path, "%s/%s", directory, name) > 0);
    return path;
}

static void makeFile(const char* path, const char* contents) {
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    CHECK(fd >= 0);
    if (contents) {
        CHECK(write(fd, contents, strlen(contents)) == (ssize_t)strlen(contents));
    }
    close(fd);
}

static char* makeRoot(void) {
    char* root = strdup("/tmp/vtnative-watcher-XXXXXX");
    CHECK(mkdtemp(root) != NULL);
    return root;
}

static void removeTree(const char* path) {
    char* command;
    CHECK(asprintf(&command, "rm -rf '%s'", path) > 0);
    CHECK(system(command) == 0);
    free(command);
}

static void* watch(const char* root) {
    const char* paths[] = {root};
    void* watcher =
        EXPORT(create_watcher)(onCreated, onModified, onDeleted, onScan, onFinished, paths, 1);
    CHECK(watcher != NULL);
    return watcher;
}

/* ---- The library's log, written to a file in place of standard error ---- */

static char logPath[] = "/tmp/vtnative-watcher-log-XXXXXX";

static int logCount(const char* text) {
    FILE* log = fopen(logPath, "r");
    if (!log) {
        return 0;
    }
    int count = 0;
    char line[8192];
    while (fgets(line, sizeof line, log)) {
        count += strstr(line, text) != NULL;
    }
    fclose(log);
    return count;
}

/* Waits until the log holds `text` at least `count` times. */
static int logged(const char* text, int count) {
    for (int i = 0; i < 6000; ++i) {
        if (logCount(text) >= count) {
            return 1;
        }
        usleep(10000);
    }
    fprintf(report, "not logged: %s\n", text);
    return 0;
}

/* ---- The checks ---- */

static void checkArguments(void) {
    const char* good[] = {"/tmp"};
    const char* bad[] = {"\xff\xfe"};
    CHECK(EXPORT(create_watcher)(onCreated, onModified, onDeleted, onScan, onFinished, NULL, 1) ==
          NULL);
    CHECK(logged(" - paths is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, onModified, onDeleted, onScan, onFinished, good, 0) ==
          NULL);
    CHECK(logged("numPaths (0) is less than one", 1));
    CHECK(EXPORT(create_watcher)(NULL, onModified, onDeleted, onScan, onFinished, good, 1) == NULL);
    CHECK(logged("created_callback is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, NULL, onDeleted, onScan, onFinished, good, 1) == NULL);
    CHECK(logged("modified_callback is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, onModified, NULL, onScan, onFinished, good, 1) == NULL);
    CHECK(logged("deleted_callback is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, onModified, onDeleted, NULL, onFinished, good, 1) ==
          NULL);
    CHECK(logged("scan_callback is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, onModified, onDeleted, onScan, NULL, good, 1) == NULL);
    CHECK(logged("finished_callback is null", 1));
    CHECK(EXPORT(create_watcher)(onCreated, onModified, onDeleted, onScan, onFinished, bad, 1) ==
          NULL);
    CHECK(logged("unable to create string from char array: (\xff\xfe)", 1));
    CHECK(logged("directoryPaths is empty", 1));

    const int nilBefore = logCount("fileWatcher is nil");
    EXPORT(invalidate)(NULL);
    EXPORT(wakeup)(NULL);
    EXPORT(start_watching_all)(NULL);
    EXPORT(stop_watching_all)(NULL);
    EXPORT(add_path)(NULL, "/tmp");
    EXPORT(remove_path)(NULL, "/tmp");
    EXPORT(add_paths)(NULL, good, 1);
    EXPORT(remove_paths)(NULL, good, 1);
    CHECK(logged("fileWatcher is nil", nilBefore + 8));

    EXPORT(add_path)(NULL, NULL);
    EXPORT(remove_path)((void*)1, NULL);
    CHECK(logged(" - path is null", 2));
    EXPORT(add_paths)((void*)1, NULL, 1);
    EXPORT(remove_paths)(NULL, NULL, 0);
    CHECK(logged(" - paths is null", 3));
    EXPORT(add_paths)((void*)1, good, 0);
    EXPORT(remove_paths)((void*)1, good, -3);
    CHECK(logged("numPaths is < 1", 2));

    char* root = makeRoot();
    void* watcher = watch(root);
    EXPORT(add_path)(watcher, "\xff\xfe");
    CHECK(logged("Unable to create string from C string: (\xff\xfe).  Not adding to watched paths.",
                 1));
    EXPORT(remove_path)(watcher, "\xc0\x80");
    CHECK(logged(
        "Unable to create string from C string: (\xc0\x80).  Not removing from watched paths.", 1));
    /* The string arrays of a watcher that exists report each path as the single calls do. */
    EXPORT(add_paths)(watcher, bad, 1);
    CHECK(logged("Unable to create string from C string: (\xff\xfe).  Not adding to watched paths.",
                 2));
    CHECK(logged("pathsToAdd is nil or empty.", 1));
    EXPORT(remove_paths)(watcher, bad, 1);
    CHECK(logged(
        "Unable to create string from C string: (\xff\xfe).  Not removing from watched paths.", 1));
    CHECK(logged("pathsToRemove is nil or empty.", 1));

    /* The stream callback ignores a call without its watcher. */
    EXPORT(fileEventCallback)(NULL, NULL, 0, NULL, NULL, NULL);
    EXPORT(invalidate)(watcher);
    removeTree(root);
    free(root);
}

static void checkCreateModifyDelete(void) {
    char* root = makeRoot();
    char* before = pathIn(root, "before");
    makeFile(before, "old");
    void* watcher = watch(root);
    forgetRecords();
    batch(watcher); /* nothing from before the watcher existed; an empty batch still finishes */
    CHECK(recorded() == 0);

    makeFile(before, "new");
    batch(watcher);
    const long changed = find('M', before, 0);
    CHECK(changed >= 0 && isDirectoryAt(changed) == 0);
    CHECK(recorded() == 1);

    forgetRecords();
    char* directory = pathIn(root, "d");
    char* file = pathIn(directory, "f");
    CHECK(mkdir(directory, 0755) == 0);
    makeFile(file, NULL);
    batch(watcher);
    const long createdDirectory = find('C', directory, 0);
    const long createdFile = find('C', file, 0);
    CHECK(createdDirectory >= 0 && createdFile > createdDirectory);
    CHECK(createdDirectory >= 0 && isDirectoryAt(createdDirectory) == 1);
    CHECK(createdFile >= 0 && isDirectoryAt(createdFile) == 0);

    forgetRecords();
    makeFile(file, "contents");
    CHECK(chmod(directory, 0700) == 0);
    batch(watcher);
    const long modifiedFile = find('M', file, 0);
    const long modifiedDirectory = find('M', directory, 0);
    CHECK(modifiedFile >= 0 && isDirectoryAt(modifiedFile) == 0);
    CHECK(modifiedDirectory > modifiedFile && isDirectoryAt(modifiedDirectory) == 1);

    forgetRecords();
    CHECK(unlink(file) == 0);
    CHECK(rmdir(directory) == 0);
    batch(watcher);
    const long deletedFile = find('D', file, 0);
    const long deletedDirectory = find('D', directory, 0);
    CHECK(deletedFile >= 0 && isDirectoryAt(deletedFile) == 0);
    CHECK(deletedDirectory > deletedFile && isDirectoryAt(deletedDirectory) == 1);

    /* Made and gone before the batch: reported as deleted. */
    forgetRecords();
    char* brief = pathIn(root, "brief");
    makeFile(brief, "x");
    CHECK(unlink(brief) == 0);
    batch(watcher);
    CHECK(find('D', brief, 0) >= 0);
    CHECK(find('C', brief, 0) < 0 && find('M', brief, 0) < 0);

    EXPORT(invalidate)(watcher);
    removeTree(root);
    free(brief);
    free(file);
    free(directory);
    free(before);
    free(root);
}

static void checkRenamesAndFreshDirectories(void) {
    char* root = makeRoot();
    void* watcher = watch(root);
    char* from = pathIn(root, "from");
    char* to = pathIn(root, "to");
    CHECK(mkdir(from, 0755) == 0);
    batch(watcher);

    /* A directory renamed inside the tree: the old name deleted, the new created and scanned,
     * and a file made in it right after the move is reported under the new name. */
    forgetRecords();
    CHECK(rename(from, to) == 0);
    char* inMoved = pathIn(to, "after-move");
    makeFile(inMoved, NULL);
    batch(watcher);
    const long createdTo = find('C', to, 0);
    CHECK(find('D', from, 0) >= 0);
    CHECK(createdTo >= 0 && find('S', to, (size_t)createdTo) > createdTo);
    CHECK(find('C', inMoved, 0) >= 0);

    /* Deep trees made after the watch started, each with a file made at once inside. */
    forgetRecords();
    char made[200][PATH_MAX];
    for (int i = 0; i < 200; ++i) {
        snprintf(made[i], PATH_MAX, "%s/t%d/a/b", root, i);
        char* command;
        CHECK(asprintf(&command, "%s/t%d", root, i) > 0);
        CHECK(mkdir(command, 0755) == 0);
        free(command);
        CHECK(asprintf(&command, "%s/t%d/a", root, i) > 0);
        CHECK(mkdir(command, 0755) == 0);
        free(command);
        CHECK(mkdir(made[i], 0755) == 0);
        strcat(made[i], "/file");
        makeFile(made[i], NULL);
    }
    batch(watcher);
    int reported = 0;
    for (int i = 0; i < 200; ++i) {
        reported += find('C', made[i], 0) >= 0 || find('M', made[i], 0) >= 0;
    }
    CHECK(reported == 200);

    /* A directory moved out of the tree is a removal, and what happens in it later is not ours;
     * one moved in is a creation to rescan. */
    forgetRecords();
    char* outside = makeRoot();
    char* away = pathIn(outside, "away");
    CHECK(rename(to, away) == 0);
    char* inAway = pathIn(away, "later");
    makeFile(inAway, NULL);
    char* movedIn = pathIn(root, "moved-in");
    char* outsideFile = pathIn(outside, "brought");
    makeFile(outsideFile, NULL);
    CHECK(rename(outsideFile, movedIn) == 0);
    batch(watcher);
    const long removed = find('D', to, 0);
    CHECK(removed >= 0 && isDirectoryAt(removed) == 1);
    CHECK(find('C', movedIn, 0) >= 0);
    char* staleName = pathIn(to, "later");
    CHECK(find('*', staleName, 0) < 0);

    /* The watched root itself deleted. */
    forgetRecords();
    removeTree(root);
    batch(watcher);
    const long rootGone = find('D', root, 0);
    CHECK(rootGone >= 0 && isDirectoryAt(rootGone) == 1);

    EXPORT(invalidate)(watcher);
    removeTree(outside);
    free(staleName);
    free(outsideFile);
    free(movedIn);
    free(inAway);
    free(away);
    free(outside);
    free(inMoved);
    free(to);
    free(from);
    free(root);
}

static void* wakeupTarget;
static int nestedWakeups;

static void wakeUpAgain(void) {
    if (nestedWakeups < 3) {
        ++nestedWakeups;
        EXPORT(wakeup)(wakeupTarget);
    }
}

static void checkBatchesAndPaths(void) {
    char* root = makeRoot();
    char* second = makeRoot();
    char* third = makeRoot();
    void* watcher = watch(root);
    wakeupTarget = watcher;

    /* wakeup during a running batch with unchanged paths does nothing. */
    char* one = pathIn(root, "one");
    makeFile(one, NULL);
    const int before = finished();
    setHooks(wakeUpAgain, NULL);
    batch(watcher);
    setHooks(NULL, NULL);
    batch(watcher);
    CHECK(nestedWakeups == 1);
    CHECK(finished() == before + 4);

    /* Adding what is watched already does not rebuild the stream. */
    EXPORT(set_log_level)(watcher, 63);
    const int rebuilds = logCount("Rebuilding file stream.");
    const char* same[] = {root, root};
    EXPORT(add_paths)(watcher, same, 2);
    EXPORT(add_path)(watcher, second); /* idle: rebuilds at once */
    CHECK(logged("Adding paths : {(", 2));
    CHECK(logged("Rebuilding file stream.", rebuilds + 1));
    CHECK(logCount("Rebuilding file stream.") == rebuilds + 1);
    EXPORT(set_log_level)(watcher, *EXPORT(LEVEL_INFO));

    forgetRecords();
    char* inSecond = pathIn(second, "s");
    makeFile(inSecond, NULL);
    batch(watcher);
    CHECK(find('C', inSecond, 0) >= 0);

    /* Paths changed during a batch take effect at the next one, with nothing in between lost. */
    forgetRecords();
    char* two = pathIn(root, "two");
    makeFile(two, NULL);
    const int running = finished();
    EXPORT(start_watching_all)(watcher);
    EXPORT(add_path)(watcher, third);
    EXPORT(remove_path)(watcher, second);
    char* inThird = pathIn(third, "t");
    makeFile(inThird, NULL);
    char* secondAgain = pathIn(second, "gone");
    CHECK(waitForFinished(running + 1));
    makeFile(secondAgain, NULL);
    forgetRecords();
    batch(watcher);
    CHECK(find('C', inThird, 0) >= 0);
    CHECK(find('*', secondAgain, 0) < 0);

    /* Stopping an idle watcher does nothing; stopping a running batch finishes it once. */
    const int idle = settledFinished();
    EXPORT(stop_watching_all)(watcher);
    CHECK(finished() == idle);

    EXPORT(invalidate)(watcher);
    removeTree(root);
    removeTree(second);
    removeTree(third);
    free(secondAgain);
    free(inThird);
    free(inSecond);
    free(two);
    free(one);
    free(third);
    free(second);
    free(root);
}

/* A finished callback that calls back into its own watcher: stop, a path change during the
 * batch, wakeup and start again. Each call does what it does from outside, and the finished
 * callbacks it causes come later on the watcher's callback thread, never nested in this one and
 * never on the thread that called stop_watching_all. */
static void* reentered;
static char* reenteredExtra;
static pthread_t stoppingThread;
static int reentryDepth, deepestReentry, reentries, finishedOnStoppingThread;

static void reenter(void) {
    const int depth = __atomic_add_fetch(&reentryDepth, 1, __ATOMIC_SEQ_CST);
    if (depth > __atomic_load_n(&deepestReentry, __ATOMIC_SEQ_CST)) {
        __atomic_store_n(&deepestReentry, depth, __ATOMIC_SEQ_CST);
    }
    if (pthread_equal(pthread_self(), stoppingThread)) {
        __atomic_add_fetch(&finishedOnStoppingThread, 1, __ATOMIC_SEQ_CST);
    }
    /* The depth bound only keeps a recursing library from overflowing the stack. */
    const int round = __atomic_load_n(&reentries, __ATOMIC_SEQ_CST);
    if (round < 8 && depth < 16) {
        EXPORT(stop_watching_all)(reentered);
        EXPORT(start_watching_all)(reentered);
        if (round % 2) {
            EXPORT(remove_path)(reentered, reenteredExtra);
        } else {
            EXPORT(add_path)(reentered, reenteredExtra);
        }
        EXPORT(wakeup)(reentered);
        __atomic_add_fetch(&reentries, 1, __ATOMIC_SEQ_CST);
    }
    __atomic_sub_fetch(&reentryDepth, 1, __ATOMIC_SEQ_CST);
}

/* Holds the replay in its first callback until the batch has been stopped from outside. */
static int replaying, stopped;

static void holdReplay(void) {
    if (!__atomic_exchange_n(&replaying, 1, __ATOMIC_SEQ_CST)) {
        CHECK(waitForAtLeast(&stopped, 1));
    }
}

static void checkFinishedCallbackCallingItsWatcher(void) {
    char* root = makeRoot();
    reenteredExtra = makeRoot();
    reentered = watch(root);
    for (int i = 0; i < 100; ++i) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/r%d", root, i);
        makeFile(path, NULL);
    }
    stoppingThread = pthread_self();
    setHooks(holdReplay, NULL);
    EXPORT(start_watching_all)(reentered);
    CHECK(waitForAtLeast(&replaying, 1));
    EXPORT(add_path)(reentered, reenteredExtra); /* changed during the batch */
    setHooks(holdReplay, reenter);
    EXPORT(stop_watching_all)(reentered);
    __atomic_store_n(&stopped, 1, __ATOMIC_SEQ_CST);
    CHECK(waitForAtLeast(&reentries, 8));
    setHooks(NULL, NULL);
    batch(reentered);
    CHECK(deepestReentry == 1);
    CHECK(finishedOnStoppingThread == 0);
    EXPORT(invalidate)(reentered);
    forgetRecords();
    removeTree(reenteredExtra);
    removeTree(root);
    free(reenteredExtra);
    free(root);
}

/* invalidate from outside waits for the callback that runs and lets none follow; from inside a
 * callback, also from a block the callback runs on a queue of its own, it returns at once and
 * none follows either. */
static void* invalidated;
static zed_dispatch_queue_t callbackQueue;
static int callbackStarted, invalidating, callbackReturned;

static void holdFirstCallback(void) {
    if (__atomic_exchange_n(&callbackStarted, 1, __ATOMIC_SEQ_CST)) {
        return;
    }
    CHECK(waitForAtLeast(&invalidating, 1));
    usleep(50000); /* gives an invalidate that does not wait the time to return */
    __atomic_store_n(&callbackReturned, 1, __ATOMIC_SEQ_CST);
}

static void invalidateFromInside(void) {
    if (__atomic_exchange_n(&callbackStarted, 1, __ATOMIC_SEQ_CST)) {
        return;
    }
    EXPORT(invalidate)(invalidated);
    __atomic_store_n(&invalidateReturned, 1, __ATOMIC_SEQ_CST);
}

static void invalidateOnQueue(void* unused) {
    (void)unused;
    EXPORT(invalidate)(invalidated);
}

static void invalidateFromInsideAQueue(void) {
    if (__atomic_exchange_n(&callbackStarted, 1, __ATOMIC_SEQ_CST)) {
        return;
    }
    EXPORT(zed_dispatch_sync_to_queue)(callbackQueue, invalidateOnQueue, NULL);
    __atomic_store_n(&invalidateReturned, 1, __ATOMIC_SEQ_CST);
}

static void checkNoCallbackAfterInvalidate(void) {
    void (*const ways[])(void) = {holdFirstCallback, invalidateFromInside,
                                  invalidateFromInsideAQueue};
    const char* const wayNames[] = {"during a callback", "from a callback",
                                    "from a callback's own queue"};
    callbackQueue = EXPORT(zed_dispatch_queue_create)("c.test.callback", ZED_DISPATCH_QUEUE_SERIAL);
    for (size_t way = 0; way < sizeof ways / sizeof ways[0]; ++way) {
        char* root = makeRoot();
        invalidated = watch(root);
        for (int i = 0; i < 3000; ++i) {
            char path[PATH_MAX];
            snprintf(path, sizeof path, "%s/f%d", root, i);
            makeFile(path, NULL);
        }
        callbackStarted = invalidating = callbackReturned = 0;
        callsAfterInvalidate = invalidateReturned = 0;
        setHooks(ways[way], NULL);
        EXPORT(wakeup)(invalidated);
        CHECK(waitForAtLeast(&callbackStarted, 1));
        if (ways[way] == holdFirstCallback) {
            __atomic_store_n(&invalidating, 1, __ATOMIC_SEQ_CST);
            EXPORT(invalidate)(invalidated);
            CHECK(__atomic_load_n(&callbackReturned, __ATOMIC_SEQ_CST));
            __atomic_store_n(&invalidateReturned, 1, __ATOMIC_SEQ_CST);
        } else {
            CHECK(waitForAtLeast(&invalidateReturned, 1));
        }
        usleep(300000); /* room for stragglers to show */
        setHooks(NULL, NULL);
        CHECK(callsAfterInvalidate == 0);
        fprintf(report, "invalidate %s: %d callbacks after it returned\n", wayNames[way],
                callsAfterInvalidate);
        __atomic_store_n(&invalidateReturned, 0, __ATOMIC_SEQ_CST);
        forgetRecords();
        removeTree(root);
        free(root);
    }
    EXPORT(zed_dispatch_queue_release)(callbackQueue);
}

typedef struct {
    const char* root;
    int count;
    int stop; /* atomic */
} Writer;

static void* writeFiles(void* context) {
    Writer* writer = context;
    for (int i = 0; i < writer->count && !__atomic_load_n(&writer->stop, __ATOMIC_RELAXED); ++i) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/w%d", writer->root, i);
        makeFile(path, NULL);
    }
    return NULL;
}

static void checkNothingLostBetweenBatches(void) {
    char* root = makeRoot();
    void* watcher = watch(root);
    forgetRecords();
    Writer writer = {root, 3000, 0};
    pthread_t thread;
    CHECK(pthread_create(&thread, NULL, writeFiles, &writer) == 0);
    for (int i = 0; i < 5; ++i) {
        batch(watcher);
    }
    CHECK(pthread_join(thread, NULL) == 0);
    batch(watcher);
    int reported = 0;
    for (int i = 0; i < writer.count; ++i) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/w%d", root, i);
        reported += find('C', path, 0) >= 0;
    }
    CHECK(reported == writer.count);
    EXPORT(invalidate)(watcher);
    removeTree(root);
    free(root);
}

static void checkFlood(void) {
    char* root = makeRoot();
    void* watcher = watch(root);
    forgetRecords();
    const int files = 40000;
    for (int i = 0; i < files; ++i) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/flood%d", root, i);
        makeFile(path, NULL);
    }
    batch(watcher);
    batch(watcher);
    int reported = 0;
    for (int i = 0; i < files; i += 97) {
        char path[PATH_MAX];
        snprintf(path, sizeof path, "%s/flood%d", root, i);
        reported += find('C', path, 0) >= 0;
    }
    const int rescanned = find('S', root, 0) >= 0;
    CHECK(rescanned || reported == (files + 96) / 97);
    fprintf(report, "flood of %d files: %s\n", files,
            rescanned ? "the root was flagged for a rescan" : "every sampled file was reported");
    EXPORT(invalidate)(watcher);
    removeTree(root);
    free(root);
}

static void checkInvalidateWhileEventsArrive(void) {
    for (int round = 0; round < 5; ++round) {
        char* root = makeRoot();
        void* watcher = watch(root);
        Writer writer = {root, 100000, 0};
        pthread_t thread;
        CHECK(pthread_create(&thread, NULL, writeFiles, &writer) == 0);
        EXPORT(wakeup)(watcher);
        usleep((useconds_t)(round * 20000));
        EXPORT(invalidate)(watcher);
        __atomic_store_n(&writer.stop, 1, __ATOMIC_RELAXED);
        CHECK(pthread_join(thread, NULL) == 0);
        removeTree(root);
        free(root);
    }
}

static void* idle(void* unused) {
    return unused;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s path/to/libvtnative.so\n", argv[0]);
        return 2;
    }
    report = fdopen(dup(STDERR_FILENO), "w");
    setvbuf(report, NULL, _IONBF, 0);
    const int logFd = mkstemp(logPath);
    if (logFd < 0 || dup2(logFd, STDERR_FILENO) < 0) {
        fprintf(report, "cannot redirect the log\n");
        return 2;
    }
    pthread_t warmUp;
    CHECK(pthread_create(&warmUp, NULL, idle, NULL) == 0);
    CHECK(pthread_join(warmUp, NULL) == 0);
    const int threadsBefore = threadCount();
    library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(report, "dlopen: %s\n", dlerror());
        return 2;
    }
    checkArguments();
    checkCreateModifyDelete();
    checkRenamesAndFreshDirectories();
    checkBatchesAndPaths();
    checkFinishedCallbackCallingItsWatcher();
    checkNoCallbackAfterInvalidate();
    checkNothingLostBetweenBatches();
    checkFlood();
    checkInvalidateWhileEventsArrive();
    /* The facility the library chose: inotify when asked to keep to it, fanotify for root. */
    const char* facility = getenv("VTNATIVE_FILE_EVENTS");
    if (facility && !strcmp(facility, "inotify")) {
        CHECK(logCount("with inotify") > 0 && logCount("with fanotify") == 0);
    } else if (geteuid() == 0) {
        CHECK(logCount("with fanotify") > 0);
    }
    fprintf(report, "file events from %s\n", logCount("with fanotify") ? "fanotify" : "inotify");

    CHECK(dlclose(library) == 0);
    CHECK(dlopen(argv[1], RTLD_NOW | RTLD_NOLOAD) == NULL);
    CHECK(threadCount() == threadsBefore);
    forgetRecords();
    free(records);
    unlink(logPath);
    if (failures) {
        fprintf(report, "%d checks failed\n", failures);
        return 1;
    }
    fprintf(report, "all checks passed\n");
    return 0;
}

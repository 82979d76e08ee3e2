/* Loads libvtnative.so the way the Java service does, calls every export with good and bad
 * arguments, and checks that unloading leaves no thread behind. */
#include <dlfcn.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/vtnative_c_test_support.h"
#include "vtnative.h"

static void checkDataSymbols(void) {
    CHECK(*EXPORT(LEVEL_OFF) == 0);
    CHECK(*EXPORT(LEVEL_FATAL) == 0);
    CHECK(*EXPORT(LEVEL_ERROR) == 3);
    CHECK(*EXPORT(LEVEL_WARN) == 4);
    CHECK(*EXPORT(LEVEL_INFO) == 6);
    CHECK(*EXPORT(LEVEL_DEBUG) == 7);
    CHECK(*EXPORT(LEVEL_TRACE) == 7);
    CHECK(*EXPORT(LEVEL_ALL) == 7);
    CHECK(strcmp(*EXPORT(kZedGenericStringSeparator), "kZedGenericStringSeparator") == 0);
    EXPORT(set_log_level)(NULL, *EXPORT(LEVEL_WARN));
    EXPORT(set_log_level)(NULL, *EXPORT(LEVEL_INFO));
}

static void checkVolumes(void) {
    char** paths = (char**)0x1;
    char** names = (char**)0x1;
    CHECK(EXPORT(zed_fetch_volumes)(NULL, &names) == -1);
    CHECK(EXPORT(zed_fetch_volumes)(&paths, NULL) == -1);

    const int32_t count = EXPORT(zed_fetch_volumes)(&paths, &names);
    CHECK(count >= 1);
    int rootListed = 0;
    for (int32_t i = 0; i < count; ++i) {
        CHECK(paths[i] != NULL && names[i] != NULL);
        rootListed |= strcmp(paths[i], "/") == 0;
    }
    CHECK(rootListed);
    CHECK(paths[count] == NULL && names[count] == NULL);
    EXPORT(zed_free_cstring_array)(paths, count);
    EXPORT(zed_free_cstring_array)(names, count);
    EXPORT(zed_free_cstring_array)(NULL, 5);
    EXPORT(zed_free_cstring_array)(NULL, -1);
}

static void checkSystemFacts(void) {
    const int32_t onBattery = EXPORT(isRunningOnBattery)();
    CHECK(onBattery == 0 || onBattery == 1);
    const int32_t charge = EXPORT(batteryCharge)();
    CHECK(charge >= 0 && charge <= 100);

    char** current = EXPORT(currentSSIDAndMAC)();
    CHECK(current != NULL);
    if (current && current[0]) {
        CHECK(strlen(current[0]) <= 32);
    }
    char** known = EXPORT(networkSSIDs)();
    CHECK(known != NULL);
    int listed = 0;
    while (known && known[listed]) {
        CHECK(strlen(known[listed]) <= 32);
        ++listed;
    }
    CHECK(listed <= 100);
    char** proxy = EXPORT(getProxyAutoconfigURLs)();
    CHECK(proxy != NULL && proxy[1] == NULL);
}

struct Probe {
    zed_dispatch_queue_t queue;
    int ran;
    int onQueue;
    int innerRan;
    int verified;
};

static void mark(void* context) {
    ((struct Probe*)context)->innerRan = 1;
}

static void nestedBarrier(void* context) {
    struct Probe* probe = context;
    EXPORT(zed_dispatch_attempt_barrier_sync_to_queue)(probe->queue, mark, probe);
}

static void onQueue(void* context) {
    struct Probe* probe = context;
    probe->ran = 1;
    probe->onQueue = EXPORT(zed_dispatch_is_current_queue_equal_to_queue)(probe->queue);
    probe->verified = EXPORT(zed_dispatch_verify_using_queue)(probe->queue);
    EXPORT(zed_dispatch_sync_to_queue)(probe->queue, mark, probe); /* nested: runs inline */
}

static void count(void* context) {
    ++*(int*)context;
}

struct Release {
    zed_dispatch_queue_t queue;
    int ran;
};

static void releaseOwnQueue(void* context) {
    struct Release* release = context;
    EXPORT(zed_dispatch_queue_release)(release->queue);
    release->ran = 1;
}

static void logFromLibraryThread(void* context) {
    EXPORT(zed_dispatch_sync_to_queue)(NULL, count, context); /* logs "queue is nil" */
}

static void checkQueues(void) {
    CHECK(EXPORT(zed_dispatch_queue_create)("bad", 7) == NULL);

    struct Probe probe = {0};
    probe.queue = EXPORT(zed_dispatch_queue_create)("c.test.serial", ZED_DISPATCH_QUEUE_SERIAL);
    CHECK(probe.queue != NULL);
    CHECK(EXPORT(zed_dispatch_is_current_queue_equal_to_queue)(probe.queue) == 0);
    CHECK(EXPORT(zed_dispatch_verify_using_queue)(probe.queue) == 0);
    EXPORT(zed_dispatch_sync_to_queue)(probe.queue, onQueue, &probe);
    CHECK(probe.ran && probe.onQueue == 1 && probe.verified == 1 && probe.innerRan);

    /* A barrier from inside its own queue would wait on itself: refused, and nothing runs. */
    probe.innerRan = 0;
    EXPORT(zed_dispatch_sync_to_queue)(probe.queue, nestedBarrier, &probe);
    CHECK(probe.innerRan == 0);

    /* Null arguments are logged and ignored. */
    EXPORT(zed_dispatch_sync_to_queue)(NULL, mark, &probe);
    EXPORT(zed_dispatch_sync_to_queue)(probe.queue, NULL, NULL);
    EXPORT(zed_dispatch_attempt_barrier_sync_to_queue)(NULL, mark, &probe);
    EXPORT(zed_dispatch_async_to_main)(NULL, NULL);
    EXPORT(zed_dispatch_sync_to_main)(NULL, NULL);
    CHECK(EXPORT(zed_dispatch_is_current_queue_equal_to_queue)(NULL) == 0);
    CHECK(EXPORT(zed_dispatch_verify_using_queue)(NULL) == 0);

    zed_dispatch_queue_t concurrent =
        EXPORT(zed_dispatch_queue_create)("c.test.concurrent", ZED_DISPATCH_QUEUE_CONCURRENT);
    int runs = 0;
    EXPORT(zed_dispatch_attempt_barrier_sync_to_queue)(concurrent, count, &runs);
    CHECK(runs == 1);

    /* The main queue is serial: a synchronous block runs after the asynchronous ones before it. */
    int mainRuns = 0;
    for (int i = 0; i < 10; ++i) {
        EXPORT(zed_dispatch_async_to_main)(count, &mainRuns);
    }
    EXPORT(zed_dispatch_async_to_main)(logFromLibraryThread, &mainRuns);
    EXPORT(zed_dispatch_sync_to_main)(count, &mainRuns);
    CHECK(mainRuns == 11);

    EXPORT(zed_dispatch_queue_release)(probe.queue);
    EXPORT(zed_dispatch_queue_release)(concurrent);
    EXPORT(zed_dispatch_queue_release)(NULL);

    /* A queue released while a synchronous call runs (or waits) on it lasts until that call has
     * returned. */
    struct Release release = {
        EXPORT(zed_dispatch_queue_create)("c.test.released", ZED_DISPATCH_QUEUE_SERIAL), 0};
    EXPORT(zed_dispatch_sync_to_queue)(release.queue, releaseOwnQueue, &release);
    CHECK(release.ran == 1);
}

static void* idle(void* unused) {
    return unused;
}

/* ---- A process that ends without unloading the library while its threads still log, as a JVM
 * calling exit does: the exit must be clean. ---- */

static void* logWithoutEnd(void* unused) {
    (void)unused;
    for (;;) {
        EXPORT(add_path)(NULL, NULL); /* logs "path is null" */
    }
    return NULL;
}

/* The child's side: load, log from a thread of its own, and exit mid-flight. */
static int exitWhileLogging(const char* path, int delayMicroseconds) {
    alarm(60); /* an exit that hangs ends here, and the parent sees it */
    if (!freopen("/dev/null", "w", stderr)) {
        return 4;
    }
    library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return 3;
    }
    EXPORT(create_watcher)(NULL, NULL, NULL, NULL, NULL, NULL, 0); /* installs the console log */
    pthread_t logger;
    if (pthread_create(&logger, NULL, logWithoutEnd, NULL) != 0) {
        return 5;
    }
    usleep((useconds_t)delayMicroseconds);
    exit(0);
}

static void checkExitWhileLogging(const char* self, const char* path) {
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1); /* the logging thread is cut off mid-call */
    for (int round = 0; round < 10; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            char delay[16];
            snprintf(delay, sizeof delay, "%d", 5000 + round * 3000);
            execl(self, self, "--exit-while-logging", path, delay, (char*)NULL);
            _exit(6);
        }
        int status = 0;
        CHECK(waitpid(child, &status, 0) == child);
        CHECK(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            fprintf(report, "round %d: child ended with status %d\n", round, status);
        }
    }
}

int main(int argc, char** argv) {
    report = stderr;
    if (argc == 4 && strcmp(argv[1], "--exit-while-logging") == 0) {
        return exitWhileLogging(argv[2], atoi(argv[3]));
    }
    if (argc != 2) {
        fprintf(stderr, "usage: %s path/to/libvtnative.so\n", argv[0]);
        return 2;
    }
    /* A sanitizer's runtime starts a helper thread with the first thread a program makes; let it
     * do so before counting. */
    pthread_t warmUp;
    CHECK(pthread_create(&warmUp, NULL, idle, NULL) == 0);
    CHECK(pthread_join(warmUp, NULL) == 0);
    const int threadsBefore = threadCount();
    library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 2;
    }
    /* This thread logs through the library and lives on past the unload, as a Java thread
     * would; so do the library's own threads until the unload stops them. */
    checkDataSymbols();
    checkVolumes();
    checkSystemFacts();
    checkQueues();
    CHECK(threadCount() > threadsBefore); /* the queues and the log hub started threads */

    CHECK(dlclose(library) == 0);
    CHECK(dlopen(argv[1], RTLD_NOW | RTLD_NOLOAD) == NULL); /* really unloaded */
    CHECK(threadCount() == threadsBefore);
    checkExitWhileLogging(argv[0], argv[1]);

    if (failures) {
        fprintf(stderr, "%d checks failed\n", failures);
        return 1;
    }
    printf("all checks passed\n");
    return 0;
}

/* The file-open detector's benchmark helper (bench/detector.sh runs it):
 *   loop N PATH         N open+close calls of PATH under an untraced name; prints nanoseconds
 *   ours LIBRARY DIR    our detector tracing another name, until SIGTERM; prints "ready" once
 *                       its tracer reports a sentinel of a traced child
 *   delay LIBRARY DIR N a traced child opens N files of DIR, paced; prints the delay from each
 *                       open to our callback (median, 99th percentile) and how many were lost */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "vtnative.h"

#define TRACED "vtb-traced"
#define UNTRACED "vtb-untraced"

static int64_t monotonicNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void* library;
static void* need(const char* name) {
    void* found = dlsym(library, name);
    if (!found) {
        fprintf(stderr, "missing export %s\n", name);
        exit(2);
    }
    return found;
}
#define EXPORT(name) ((__typeof__(&name))need(#name))

static void quietLog(const char* message, int32_t level) {
    fprintf(stderr, "detector log (%d): %s\n", level, message);
}

/* ---- What the callback saw ---- */

static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t changed = PTHREAD_COND_INITIALIZER;
static char sentinelPath[512], endPath[512], filePrefix[512];
static int sentinelSeen, endSeen;
static int64_t* stamps; /* shared with the child: when it opened file i */
static int64_t* delays;
static char* reported;
static int total;

static void onOpened(const zed_file_opened_record_t* record) {
    const int64_t now = monotonicNs();
    pthread_mutex_lock(&mutex);
    if (strcmp(record->path, sentinelPath) == 0) {
        sentinelSeen = 1;
    } else if (strcmp(record->path, endPath) == 0) {
        endSeen = 1;
    } else if (stamps && strncmp(record->path, filePrefix, strlen(filePrefix)) == 0) {
        const int index = atoi(record->path + strlen(filePrefix));
        if (index >= 0 && index < total && !reported[index]) {
            reported[index] = 1;
            delays[index] = now - stamps[index];
        }
    }
    pthread_cond_broadcast(&changed);
    pthread_mutex_unlock(&mutex);
}

static int waitFlag(int* flag, int seconds) {
    struct timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += seconds;
    pthread_mutex_lock(&mutex);
    while (!*flag && pthread_cond_timedwait(&changed, &mutex, &until) == 0) {
    }
    const int seen = *flag;
    pthread_mutex_unlock(&mutex);
    return seen;
}

/* A traced child: opens the sentinel every 20 ms until told to go (a byte on `go`), then opens
 * the `count` files at a steady pace and the end marker. */
static pid_t tracedChild(int count, int* goWrite) {
    int go[2];
    if (pipe(go) != 0) {
        exit(2);
    }
    const pid_t child = fork();
    if (child != 0) {
        close(go[0]);
        *goWrite = go[1];
        return child;
    }
    close(go[1]);
    prctl(PR_SET_NAME, TRACED);
    struct pollfd waiting = {go[0], POLLIN, 0};
    while (poll(&waiting, 1, 20) == 0) {
        close(open(sentinelPath, O_RDONLY));
    }
    char byte;
    if (read(go[0], &byte, 1) != 1) {
        _exit(0);
    }
    char path[600];
    for (int i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s%d", filePrefix, i);
        stamps[i] = monotonicNs();
        close(open(path, O_RDONLY));
        if (i % 50 == 49) {
            usleep(5000); /* about 10,000 openings a second */
        }
    }
    close(open(endPath, O_RDONLY));
    _exit(0);
}

static void* startDetector(const char* libraryPath, const char* directory) {
    library = dlopen(libraryPath, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        exit(2);
    }
    const char* names[] = {TRACED};
    const char* included[] = {directory};
    void* detector = EXPORT(create_detector)(onOpened, quietLog, 4, names, 1, included, 1, NULL, 0);
    if (!detector) {
        exit(2);
    }
    EXPORT(start_detection)(detector);
    return detector;
}

static void paths(const char* directory) {
    snprintf(sentinelPath, sizeof sentinelPath, "%s/sentinel", directory);
    snprintf(endPath, sizeof endPath, "%s/end", directory);
    snprintf(filePrefix, sizeof filePrefix, "%s/f", directory);
    close(open(sentinelPath, O_CREAT | O_WRONLY, 0644));
    close(open(endPath, O_CREAT | O_WRONLY, 0644));
}

static int loop(long count, const char* path) {
    prctl(PR_SET_NAME, UNTRACED);
    const int64_t start = monotonicNs();
    for (long i = 0; i < count; ++i) {
        close(open(path, O_RDONLY));
    }
    printf("%lld\n", (long long)(monotonicNs() - start));
    return 0;
}

static int ours(const char* libraryPath, const char* directory) {
    paths(directory);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop, NULL);
    int go;
    const pid_t child = tracedChild(0, &go);
    void* detector = startDetector(libraryPath, directory);
    if (!waitFlag(&sentinelSeen, 120)) {
        fprintf(stderr, "our tracer never reported the sentinel\n");
        return 1;
    }
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    printf("ready\n");
    fflush(stdout);
    int signal;
    sigwait(&stop, &signal);
    EXPORT(invalidate_detector)(detector);
    return 0;
}

static int compare(const void* a, const void* b) {
    const int64_t x = *(const int64_t*)a, y = *(const int64_t*)b;
    return (x > y) - (x < y);
}

static int delay(const char* libraryPath, const char* directory, int count) {
    paths(directory);
    total = count;
    stamps = mmap(NULL, sizeof *stamps * count, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS,
                  -1, 0);
    delays = calloc(count, sizeof *delays);
    reported = calloc(count, 1);
    char path[600];
    for (int i = 0; i < count; ++i) {
        snprintf(path, sizeof path, "%s%d", filePrefix, i);
        close(open(path, O_CREAT | O_WRONLY, 0644));
    }
    int go;
    const pid_t child = tracedChild(count, &go);
    void* detector = startDetector(libraryPath, directory);
    if (!waitFlag(&sentinelSeen, 120)) {
        fprintf(stderr, "our tracer never reported the sentinel\n");
        kill(child, SIGKILL);
        return 1;
    }
    if (write(go, "g", 1) != 1) {
        return 1;
    }
    const int ended = waitFlag(&endSeen, 120);
    waitpid(child, NULL, 0);
    EXPORT(invalidate_detector)(detector);
    int got = 0;
    for (int i = 0; i < count; ++i) {
        if (reported[i]) {
            delays[got++] = delays[i];
        }
    }
    qsort(delays, got, sizeof *delays, compare);
    const double median = got ? delays[got / 2] / 1e6 : -1;
    const double p99 =
        got ? delays[(int)(got * 0.99) < got ? (int)(got * 0.99) : got - 1] / 1e6 : -1;
    printf("median_ms %.2f\np99_ms %.2f\nlost %d\nend_seen %d\n", median, p99, count - got, ended);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 4 && strcmp(argv[1], "loop") == 0) {
        return loop(atol(argv[2]), argv[3]);
    }
    if (argc >= 4 && strcmp(argv[1], "ours") == 0) {
        return ours(argv[2], argv[3]);
    }
    if (argc >= 5 && strcmp(argv[1], "delay") == 0) {
        return delay(argv[2], argv[3], atoi(argv[4]));
    }
    fprintf(stderr, "usage: %s loop N PATH | ours LIBRARY DIR | delay LIBRARY DIR N\n", argv[0]);
    return 2;
}

/* Drives the file-open detector through libvtnative.so's C interface with the real tracer
 * (bpftrace), as root: a child of ours, named as a traced process, opens files under included,
 * excluded and other directories through each open system call, from its main thread and from
 * a renamed worker thread; exactly the openings that concern the detector must be reported.
 * Skips (status 77) when it cannot trace here. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <pthread.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

/* The shared helpers hold one this program has no use for. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include "tests/vtnative_c_test_support.h"
#pragma GCC diagnostic pop
#include "vtnative.h"

#define SKIPPED 77
#define PROBE_NAME "vtdet-probe"
#define LONG_NAME "vtnative-long-name-probe"
/* Guards against a hang only; nothing waits this long when things work. */
#define GUARD_SECONDS 90

static char root[64];

/* ---- What the detector reported ---- */

typedef struct {
    char* path;
    char* processName;
    char* userName;
    int64_t time;
} Opening;

static pthread_mutex_t seenMutex = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t seenChanged = PTHREAD_COND_INITIALIZER;
static Opening seen[8192];
static int seenCount;

static void onOpened(const zed_file_opened_record_t* record) {
    pthread_mutex_lock(&seenMutex);
    if (seenCount < (int)(sizeof seen / sizeof *seen)) {
        seen[seenCount++] = (Opening){strdup(record->path), strdup(record->processName),
                                      strdup(record->userName), record->time};
    }
    pthread_cond_broadcast(&seenChanged);
    pthread_mutex_unlock(&seenMutex);
}

static void onLog(const char* message, int32_t level) {
    fprintf(stderr, "detector log (%d): %s\n", level, message);
}

static int64_t nowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (int64_t)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

static char* inRoot(const char* name) {
    static char paths[64][256];
    static int next;
    char* path = paths[next++ % 64];
    snprintf(path, sizeof paths[0], "%s/%s", root, name);
    return path;
}

static int countOf(const char* path) {
    int count = 0;
    pthread_mutex_lock(&seenMutex);
    for (int i = 0; i < seenCount; ++i) {
        count += strcmp(seen[i].path, path) == 0;
    }
    pthread_mutex_unlock(&seenMutex);
    return count;
}

/* Waits until `path` is reported, for at most `ms` milliseconds; whether it was. */
static int waitForPath(const char* path, int ms) {
    struct timespec until;
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += ms / 1000;
    until.tv_nsec += (long)(ms % 1000) * 1000000;
    if (until.tv_nsec >= 1000000000) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000;
    }
    pthread_mutex_lock(&seenMutex);
    int found = 0;
    for (;;) {
        for (int i = 0; i < seenCount && !found; ++i) {
            found = strcmp(seen[i].path, path) == 0;
        }
        if (found || pthread_cond_timedwait(&seenChanged, &seenMutex, &until) == ETIMEDOUT) {
            break;
        }
    }
    for (int i = 0; i < seenCount && !found; ++i) {
        found = strcmp(seen[i].path, path) == 0;
    }
    pthread_mutex_unlock(&seenMutex);
    return found;
}

/* ---- The traced child: one command per line on its standard input ---- */

static void* openFromWorker(void* path) {
    prctl(PR_SET_NAME, "renamed-worker");
    close(open(path, O_RDONLY));
    return NULL;
}

/* o PATH: open(2); a PATH: openat(2); c PATH: creat(2); 2 PATH: openat2(2); t PATH: openat from
 * a worker thread named otherwise; r DIR NAME: openat relative to DIR; n NAME: rename the
 * process. Each command is acknowledged with one byte. */
static void probeChild(int commands, int acks) {
    prctl(PR_SET_NAME, PROBE_NAME);
    FILE* in = fdopen(commands, "r");
    char line[600];
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\n")] = '\0';
        char* argument = line + 2;
        switch (line[0]) {
            case 'o':
                close((int)syscall(SYS_open, argument, O_RDONLY));
                break;
            case 'a':
                close(openat(AT_FDCWD, argument, O_RDONLY));
                break;
            case 'c':
                close((int)syscall(SYS_creat, argument, 0644));
                break;
            case '2': {
                struct open_how how = {.flags = O_RDONLY};
                close((int)syscall(SYS_openat2, AT_FDCWD, argument, &how, sizeof how));
                break;
            }
            case 't': {
                pthread_t worker;
                pthread_create(&worker, NULL, openFromWorker, argument);
                pthread_join(worker, NULL);
                break;
            }
            case 'r': {
                char* name = strchr(argument, ' ');
                *name++ = '\0';
                const int directory = open(argument, O_RDONLY | O_DIRECTORY);
                close(openat(directory, name, O_RDONLY));
                close(directory);
                break;
            }
            case 'n':
                prctl(PR_SET_NAME, argument);
                break;
            default:
                break;
        }
        if (write(acks, "k", 1) != 1) {
            _exit(1);
        }
    }
    _exit(0);
}

static FILE* toChild;
static int fromChild;

static void command(char kind, const char* argument) {
    fprintf(toChild, "%c %s\n", kind, argument);
    fflush(toChild);
    char ack;
    if (read(fromChild, &ack, 1) != 1) {
        fprintf(report, "the probe child ended early\n");
        exit(1);
    }
}

/* Opens sentinels until the detector reports one: its tracer is then attached. */
static int waitUntilTracing(int round) {
    const int64_t give_up = nowMs() + GUARD_SECONDS * 1000;
    for (int i = 0; nowMs() < give_up; ++i) {
        char name[64];
        snprintf(name, sizeof name, "inc/sentinel-%d-%d", round, i);
        close(open(inRoot(name), O_CREAT | O_WRONLY, 0644));
        command('o', inRoot(name));
        if (waitForPath(inRoot(name), 250)) {
            return 1;
        }
    }
    return 0;
}

static void touch(const char* name) {
    close(open(inRoot(name), O_CREAT | O_WRONLY, 0644));
}

/* Also on the early returns of a failure. */
static void removeRoot(void) {
    char commandLine[128];
    snprintf(commandLine, sizeof commandLine, "rm -rf %s", root);
    if (system(commandLine) != 0) {
        fprintf(report, "unable to remove %s\n", root);
    }
}

static int tracerChildren(void) {
    char self[32];
    snprintf(self, sizeof self, "%d", (int)getpid());
    char commandLine[128];
    snprintf(commandLine, sizeof commandLine, "pgrep -P %s bpftrace >/dev/null", self);
    return system(commandLine) == 0;
}

int main(int argc, char** argv) {
    report = stderr;
    if (argc < 2) {
        fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
        return 2;
    }
    if (geteuid() != 0) {
        printf("SKIP: tracing file opens needs root; this test runs as uid %d\n", (int)geteuid());
        return SKIPPED;
    }
    if (system("command -v bpftrace >/dev/null 2>&1") != 0) {
        printf("SKIP: bpftrace is not installed (Debian package bpftrace)\n");
        return SKIPPED;
    }
    snprintf(root, sizeof root, "/tmp/vtnative-detect-XXXXXX");
    if (!mkdtemp(root)) {
        perror("mkdtemp");
        return 2;
    }
    atexit(removeRoot);
    const char* folders[] = {"inc", "inc/ex", "inc/ex/back", "out"};
    for (size_t i = 0; i < sizeof folders / sizeof *folders; ++i) {
        mkdir(inRoot(folders[i]), 0755);
    }
    const char* files[] = {"inc/a.txt",     "inc/ex/b.txt",    "inc/ex/back/c.txt", "out/d.txt",
                           "inc/at.txt",    "inc/how2.txt",    "inc/thread.txt",    "inc/rel.txt",
                           "inc/long.txt",  "inc/stopped.txt", "inc/end1",          "inc/end2",
                           "inc/parent.txt"};
    for (size_t i = 0; i < sizeof files / sizeof *files; ++i) {
        touch(files[i]);
    }

    /* The child is made before the library starts any thread. */
    int commands[2], acks[2];
    if (pipe(commands) != 0 || pipe(acks) != 0) {
        perror("pipe");
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(commands[1]);
        close(acks[0]);
        probeChild(commands[0], acks[1]);
    }
    close(commands[0]);
    close(acks[1]);
    toChild = fdopen(commands[1], "w");
    fromChild = acks[0];

    library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 2;
    }
    const char* names[] = {PROBE_NAME, LONG_NAME};
    const char* included[] = {inRoot("inc"), inRoot("inc/ex/back/")};
    const char* excluded[] = {inRoot("inc/ex")};
    void* detector =
        EXPORT(create_detector)(onOpened, onLog, 7, names, 2, included, 2, excluded, 1);
    CHECK(detector != NULL);
    if (!detector) {
        return 1;
    }

    EXPORT(start_detection)(detector);
    if (!waitUntilTracing(1)) {
        fprintf(report, "no sentinel was ever reported: the tracer did not start\n");
        return 1;
    }
    pthread_mutex_lock(&seenMutex);
    const int before = seenCount;
    pthread_mutex_unlock(&seenMutex);
    const int64_t sent = nowMs();
    command('o', inRoot("inc/a.txt"));
    command('o', inRoot("inc/ex/b.txt"));
    command('a', inRoot("inc/ex/back/c.txt"));
    command('o', inRoot("out/d.txt"));
    command('o', inRoot("inc/missing.txt"));
    command('c', inRoot("inc/created.txt"));
    command('a', inRoot("inc/at.txt"));
    command('2', inRoot("inc/how2.txt"));
    command('t', inRoot("inc/thread.txt"));
    command('r', inRoot("inc rel.txt"));
    command('n', LONG_NAME);
    command('o', inRoot("inc/long.txt"));
    command('n', PROBE_NAME);
    close(open(inRoot("inc/parent.txt"), O_RDONLY));
    command('o', inRoot("inc/end1"));
    CHECK(waitForPath(inRoot("inc/end1"), GUARD_SECONDS * 1000));

    const char* expected[] = {"inc/a.txt",    "inc/ex/back/c.txt", "inc/created.txt", "inc/at.txt",
                              "inc/how2.txt", "inc/thread.txt",    "inc/long.txt",    "inc/end1"};
    const size_t expectedCount = sizeof expected / sizeof *expected;
    for (size_t i = 0; i < expectedCount; ++i) {
        if (countOf(inRoot(expected[i])) != 1) {
            fprintf(report, "%s reported %d times\n", expected[i], countOf(inRoot(expected[i])));
            ++failures;
        }
    }
    pthread_mutex_lock(&seenMutex);
    CHECK(seenCount - before == (int)expectedCount);
    for (int i = before; i < seenCount; ++i) {
        const Opening* opening = &seen[i];
        const int isLong = strcmp(opening->path, inRoot("inc/long.txt")) == 0;
        CHECK(strcmp(opening->processName, isLong ? LONG_NAME : PROBE_NAME) == 0);
        CHECK(strcmp(opening->userName, "root") == 0);
        CHECK(opening->time >= sent && opening->time - sent <= 2000);
        fprintf(stderr, "reported %s by %s (%s)\n", opening->path, opening->processName,
                opening->userName);
    }
    pthread_mutex_unlock(&seenMutex);

    /* Stopped: the tracer is gone when stop returns, so nothing opened now can be reported. */
    EXPORT(stop_detection)(detector);
    CHECK(!tracerChildren());
    command('o', inRoot("inc/stopped.txt"));
    EXPORT(start_detection)(detector);
    CHECK(waitUntilTracing(2));
    command('o', inRoot("inc/end2"));
    CHECK(waitForPath(inRoot("inc/end2"), GUARD_SECONDS * 1000));
    CHECK(countOf(inRoot("inc/stopped.txt")) == 0);

    EXPORT(invalidate_detector)(detector);
    CHECK(!tracerChildren());
    fclose(toChild); /* the child's end of input: it exits */
    waitpid(child, NULL, 0);
    if (failures) {
        fprintf(report, "%d check(s) failed\n", failures);
        return 1;
    }
    printf("detector: all openings reported as expected\n");
    return 0;
}

/* The file watcher's side of ./dev bench watcher, through libvtnative.so's C interface, and the
 * tree and file makers that every watcher in the comparison is measured on.
 *
 *   watcher_bench tree ROOT DIRS           DIRS directories (100 per parent), a file in each
 *   watcher_bench burst-files ROOT DIRS N  N new files spread over the directories
 *   watcher_bench race-files ROOT          200 times mkdir -p rI/a/b then rI/a/b/f at once
 *   watcher_bench rename-file ROOT         mv m1 m2, then m2/f at once (m1 must exist)
 *   watcher_bench ours LIB ROOT DIRS N     ready time, burst, races and the cost of changes
 *                                          outside the tree, of our watcher */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "vtnative.h"

static double nowMs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

static void makeFile(const char* path) {
    const int fd = open(path, O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
        fprintf(stderr, "cannot create %s: %s\n", path, strerror(errno));
        exit(1);
    }
    close(fd);
}

static void makeDirectory(const char* path) {
    if (mkdir(path, 0755) != 0 && errno != EEXIST) {
        fprintf(stderr, "cannot create %s: %s\n", path, strerror(errno));
        exit(1);
    }
}

static void directoryPath(char* out, const char* root, int index) {
    snprintf(out, PATH_MAX, "%s/p%d/d%d", root, index / 100, index);
}

static void makeTree(const char* root, int directories) {
    char path[PATH_MAX];
    for (int i = 0; i < directories; ++i) {
        if (i % 100 == 0) {
            snprintf(path, sizeof path, "%s/p%d", root, i / 100);
            makeDirectory(path);
        }
        directoryPath(path, root, i);
        makeDirectory(path);
        strcat(path, "/file");
        makeFile(path);
    }
}

static void makeBurst(const char* root, int directories, int files) {
    char path[PATH_MAX];
    for (int i = 0; i < files; ++i) {
        directoryPath(path, root, i % directories);
        char* end = path + strlen(path);
        snprintf(end, PATH_MAX - (size_t)(end - path), "/burst%d", i);
        makeFile(path);
    }
}

static void makeRaces(const char* root) {
    char path[PATH_MAX];
    for (int i = 0; i < 200; ++i) {
        snprintf(path, sizeof path, "%s/r%d", root, i);
        makeDirectory(path);
        strcat(path, "/a");
        makeDirectory(path);
        strcat(path, "/b");
        makeDirectory(path);
        strcat(path, "/f");
        makeFile(path);
    }
}

static void renameThenFile(const char* root) {
    char from[PATH_MAX], to[PATH_MAX];
    snprintf(from, sizeof from, "%s/m1", root);
    snprintf(to, sizeof to, "%s/m2", root);
    if (rename(from, to) != 0) {
        fprintf(stderr, "rename: %s\n", strerror(errno));
        exit(1);
    }
    strcat(to, "/f");
    makeFile(to);
}

/* ---- Our watcher: distinct reported paths and rescanned directories ---- */

typedef struct {
    char** items;
    size_t count, capacity;
} List;

static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t changed = PTHREAD_COND_INITIALIZER;
static List reported, scanned;
static int finishedCount;

static void append(List* list, const char* path) {
    pthread_mutex_lock(&mutex);
    if (list->count == list->capacity) {
        list->capacity = list->capacity ? list->capacity * 2 : 1024;
        list->items = realloc(list->items, list->capacity * sizeof *list->items);
    }
    list->items[list->count++] = strdup(path);
    pthread_mutex_unlock(&mutex);
}

static void onPath(const char* path, int isDirectory) {
    (void)isDirectory;
    append(&reported, path);
}
static void onScan(const char* path) {
    append(&scanned, path);
}
static void onFinished(void) {
    pthread_mutex_lock(&mutex);
    ++finishedCount;
    pthread_cond_broadcast(&changed);
    pthread_mutex_unlock(&mutex);
}

static void (*wakeupFunction)(void*);

/* One batch; returns how many paths it reported. */
static size_t batch(void* watcher) {
    pthread_mutex_lock(&mutex);
    const int target = finishedCount + 2;
    const size_t before = reported.count;
    pthread_mutex_unlock(&mutex);
    wakeupFunction(watcher);
    pthread_mutex_lock(&mutex);
    while (finishedCount < target) {
        pthread_cond_wait(&changed, &mutex);
    }
    const size_t added = reported.count - before;
    pthread_mutex_unlock(&mutex);
    return added;
}

/* Batches until two in a row report nothing. */
static void settle(void* watcher) {
    int quiet = 0;
    while (quiet < 2) {
        quiet = batch(watcher) ? 0 : quiet + 1;
    }
}

static int compare(const void* a, const void* b) {
    return strcmp(*(char* const*)a, *(char* const*)b);
}

static int sortedContains(const List* list, const char* path) {
    return bsearch(&path, list->items, list->count, sizeof *list->items, compare) != NULL;
}

static int isCoveredByScan(const char* path) {
    for (size_t i = 0; i < scanned.count; ++i) {
        const size_t length = strlen(scanned.items[i]);
        if (strncmp(scanned.items[i], path, length) == 0 && path[length] == '/') {
            return 1;
        }
    }
    return 0;
}

static long rssKb(void) {
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status && fgets(line, sizeof line, status)) {
        if (sscanf(line, "VmRSS: %ld", &kb) == 1) {
            break;
        }
    }
    if (status) {
        fclose(status);
    }
    return kb;
}

static double cpuMs(const struct rusage* usage) {
    return usage->ru_utime.tv_sec * 1e3 + usage->ru_utime.tv_usec / 1e3 +
           usage->ru_stime.tv_sec * 1e3 + usage->ru_stime.tv_usec / 1e3;
}

/* CPU time our watcher spends on changes outside its tree (a file-system-wide fanotify mark sees
 * them all), next to the CPU time of the process making them: FILES files in a sibling tree,
 * made by a child while this process only waits. */
static void measureOutside(void* watcher, const char* root, int files) {
    char outside[PATH_MAX];
    snprintf(outside, sizeof outside, "%s-outside", root);
    makeDirectory(outside);
    struct rusage before, after, child;
    getrusage(RUSAGE_SELF, &before);
    const pid_t pid = fork();
    if (pid == 0) {
        char path[PATH_MAX + 16];
        for (int i = 0; i < files; ++i) {
            snprintf(path, sizeof path, "%s/f%d", outside, i);
            makeFile(path);
        }
        _exit(0);
    }
    int status = 0;
    wait4(pid, &status, 0, &child);
    batch(watcher); /* everything queued is read before the figure is taken */
    getrusage(RUSAGE_SELF, &after);
    printf("outside_ours_cpu_ms %.1f\noutside_maker_cpu_ms %.1f\n", cpuMs(&after) - cpuMs(&before),
           cpuMs(&child));
    char command[PATH_MAX + 16];
    snprintf(command, sizeof command, "rm -rf '%s'", outside);
    if (system(command) != 0) {
        fprintf(stderr, "cannot remove %s\n", outside);
    }
}

static int runOurs(const char* libraryPath, const char* root, int directories, int files) {
    void* library = dlopen(libraryPath, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    __typeof__(&create_watcher) create =
        (__typeof__(&create_watcher))dlsym(library, "create_watcher");
    __typeof__(&invalidate) end = (__typeof__(&invalidate))dlsym(library, "invalidate");
    wakeupFunction = (void (*)(void*))dlsym(library, "wakeup");

    const double start = nowMs();
    const char* paths[] = {root};
    void* watcher = create(onPath, onPath, onPath, onScan, onFinished, paths, 1);
    char sentinel[PATH_MAX];
    snprintf(sentinel, sizeof sentinel, "%s/sentinel", root);
    makeFile(sentinel);
    for (int seen = 0; !seen;) {
        batch(watcher);
        pthread_mutex_lock(&mutex);
        for (size_t i = 0; i < reported.count && !seen; ++i) {
            seen = strcmp(reported.items[i], sentinel) == 0;
        }
        pthread_mutex_unlock(&mutex);
    }
    printf("ready_ms %.1f\n", nowMs() - start);
    printf("rss_kb %ld\n", rssKb());

    makeBurst(root, directories, files);
    settle(watcher);
    qsort(reported.items, reported.count, sizeof *reported.items, compare);
    int distinct = 0, uncovered = 0;
    char path[PATH_MAX];
    for (int i = 0; i < files; ++i) {
        directoryPath(path, root, i % directories);
        char* tail = path + strlen(path);
        snprintf(tail, PATH_MAX - (size_t)(tail - path), "/burst%d", i);
        if (sortedContains(&reported, path)) {
            ++distinct;
        } else {
            uncovered += !isCoveredByScan(path);
        }
    }
    printf("burst_reported %d\nburst_rescanned_dirs %zu\nburst_uncovered %d\n", distinct,
           scanned.count, uncovered);

    makeRaces(root);
    snprintf(path, sizeof path, "%s/m1", root);
    makeDirectory(path);
    settle(watcher);
    renameThenFile(root);
    settle(watcher);
    qsort(reported.items, reported.count, sizeof *reported.items, compare);
    int races = 0;
    for (int i = 0; i < 200; ++i) {
        snprintf(path, sizeof path, "%s/r%d/a/b/f", root, i);
        races += sortedContains(&reported, path);
    }
    snprintf(path, sizeof path, "%s/m2/f", root);
    printf("race_files %d\nrenamed_right %d\n", races, sortedContains(&reported, path));
    measureOutside(watcher, root, files);
    end(watcher);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 4 && !strcmp(argv[1], "tree")) {
        makeTree(argv[2], atoi(argv[3]));
    } else if (argc >= 5 && !strcmp(argv[1], "burst-files")) {
        makeBurst(argv[2], atoi(argv[3]), atoi(argv[4]));
    } else if (argc >= 3 && !strcmp(argv[1], "race-files")) {
        makeRaces(argv[2]);
    } else if (argc >= 3 && !strcmp(argv[1], "rename-file")) {
        renameThenFile(argv[2]);
    } else if (argc >= 6 && !strcmp(argv[1], "ours")) {
        return runOurs(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]));
    } else {
        fprintf(stderr, "usage: see the head of %s\n", __FILE__);
        return 2;
    }
    return 0;
}

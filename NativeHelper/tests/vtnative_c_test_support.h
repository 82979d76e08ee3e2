/* What the C programs that drive libvtnative.so share: failure counting, looking exports up in
 * the loaded library, and counting the process's threads. */
#pragma once

#include <dirent.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

static int failures = 0;
static FILE* report; /* where failures are written; set before the first check */
static void* library;

#define CHECK(condition)                                                                  \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            fprintf(report, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                                   \
        }                                                                                 \
    } while (0)

static void* symbol(const char* name) {
    void* found = dlsym(library, name);
    if (!found) {
        fprintf(report, "missing export %s\n", name);
        exit(2);
    }
    return found;
}

#define EXPORT(name) ((__typeof__(&name))symbol(#name))

static int threadCount(void) {
    DIR* tasks = opendir("/proc/self/task");
    int count = 0;
    struct dirent* entry;
    while ((entry = readdir(tasks)) != NULL) {
        count += entry->d_name[0] != '.';
    }
    closedir(tasks);
    return count;
}

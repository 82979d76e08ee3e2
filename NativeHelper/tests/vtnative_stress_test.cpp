// Drives the file watcher through libvtnative's C interface as a busy Java service might: four
// watchers on four trees, six threads calling every export in random order while a writer changes
// files, callbacks that call exports of their own and of other watchers, invalidate while a batch
// runs. A watchdog ends the run with every thread's stack when one of the calling threads makes
// no step for 60 seconds. Fails on a hang, on a callback after its watcher's invalidate returned,
// or when no event came.
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "include/vtnative.h"

extern char** environ;
// Present in sanitizer builds only: where their reports go.
extern "C" void __sanitizer_set_report_fd(void* fd) __attribute__((weak));

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSlots = 4;
constexpr int kCallers = 6;
constexpr auto kRunTime = std::chrono::seconds(20);
constexpr auto kPatience = std::chrono::seconds(60);

FILE* report;  // the real standard error; the library's console log goes to a file
std::atomic<long> callsAfterInvalidate{0};

// What the watchdog looks at: a thread that must move counts its steps while it is busy.
struct Beat {
    const char* name;
    std::atomic<long> steps{0};
    std::atomic<bool> busy{false};
};
constexpr int kWriterBeat = kCallers;
constexpr int kEndBeat = kCallers + 1;
Beat beats[kCallers + 2] = {{"caller 1"}, {"caller 2"}, {"caller 3"}, {"caller 4"},
                            {"caller 5"}, {"caller 6"}, {"writer"},   {"main, ending"}};

enum Operation { kCreate, kStart, kStop, kWakeup, kAdd, kRemove, kInvalidate, kOperations };
constexpr const char* kOperationNames[] = {"create", "start",  "stop",      "wakeup",
                                           "add",    "remove", "invalidate"};
std::array<std::atomic<long>, kOperations> fromCallers{};
std::array<std::atomic<long>, kOperations> fromCallbacks{};

enum Event { kCreated, kModified, kDeleted, kScan, kFinished, kEvents };
constexpr const char* kEventNames[] = {"created", "modified", "deleted", "scan", "finished"};
std::array<std::atomic<long>, kEvents> events{};
std::atomic<long> fileChanges{0};

std::string trees[kSlots];

// Which of a slot's two callback sets its current watcher uses: the set of an invalidated watcher
// stays retired until the slot's next watcher but one, so any call of it in between is late.
struct Slot {
    std::shared_mutex lock;  // shared to call an export, exclusive to invalidate and replace
    void* handle = nullptr;
    int set = 0;
    std::atomic<bool> live[2] = {false, false};
};
Slot slots[kSlots];

struct Callbacks {
    zed_file_event_callback_t created, modified, deleted;
    zed_scan_directory_callback_t scan;
    zed_events_finished_callback_t finished;
};

// Each thread draws from its own generator, seeded in the order the threads first draw.
int pick(int count) {
    static std::atomic<unsigned> seeds{17};
    thread_local std::mt19937 generator(seeds++);
    return std::uniform_int_distribution<int>(0, count - 1)(generator);
}

std::string pathFor(int slot) {
    const int tree = pick(kSlots);
    return pick(2) ? trees[tree] : trees[(tree + slot) % kSlots] + "/sub";
}

void reenter(int slot, bool finished);

template <int S, int Set>
void note(Event event) {
    if (!slots[S].live[Set].load()) {
        ++callsAfterInvalidate;
    }
    ++events[event];
}

template <int S, int Set, Event E>
void onPath(const char*, int) {
    note<S, Set>(E);
    thread_local unsigned count = 0;
    if (++count % 64 == 0) {
        reenter(S, false);
    }
}

template <int S, int Set>
void onScan(const char*) {
    note<S, Set>(kScan);
}

template <int S, int Set>
void onFinished() {
    note<S, Set>(kFinished);
    reenter(S, true);
}

template <int S, int Set>
constexpr Callbacks callbacksOf() {
    return {onPath<S, Set, kCreated>, onPath<S, Set, kModified>, onPath<S, Set, kDeleted>,
            onScan<S, Set>, onFinished<S, Set>};
}

constexpr Callbacks kCallbacks[kSlots][2] = {
    {callbacksOf<0, 0>(), callbacksOf<0, 1>()},
    {callbacksOf<1, 0>(), callbacksOf<1, 1>()},
    {callbacksOf<2, 0>(), callbacksOf<2, 1>()},
    {callbacksOf<3, 0>(), callbacksOf<3, 1>()},
};

void* createFor(int slot, int set) {
    const Callbacks& callbacks = kCallbacks[slot][set];
    const std::string root = trees[slot];
    const char* paths[] = {root.c_str()};
    return create_watcher(callbacks.created, callbacks.modified, callbacks.deleted, callbacks.scan,
                          callbacks.finished, paths, 1);
}

// Callbacks only try a slot's lock: the thread that holds it exclusively may be waiting in
// invalidate for this very callback.
template <typename Lock>
bool acquire(Lock& lock, bool fromCallback) {
    if (fromCallback) {
        return lock.try_lock();
    }
    lock.lock();
    return true;
}

// With the slot held exclusively: ends its watcher, from wherever, and puts a fresh one in.
void replace(Slot& slot, int index) {
    invalidate(slot.handle);
    slot.live[slot.set] = false;
    slot.set = 1 - slot.set;
    slot.live[slot.set] = true;
    slot.handle = createFor(index, slot.set);
}

// One export on one slot's watcher.
bool operate(Operation operation, int index, bool fromCallback) {
    Slot& slot = slots[index];
    if (operation == kInvalidate) {
        std::unique_lock lock(slot.lock, std::defer_lock);
        if (!acquire(lock, fromCallback) || !slot.handle) {
            return false;
        }
        if (!fromCallback && pick(2)) {
            wakeup(slot.handle);  // invalidate while a batch runs
        }
        replace(slot, index);
        ++(fromCallback ? fromCallbacks : fromCallers)[kCreate];
        return true;
    }
    std::shared_lock lock(slot.lock, std::defer_lock);
    if (!acquire(lock, fromCallback) || !slot.handle) {
        return false;  // the run's end has taken the watcher away
    }
    const std::string path = pathFor(index);
    const std::string other = pathFor(index);
    const char* paths[] = {path.c_str(), other.c_str()};
    switch (operation) {
        case kStart:
            start_watching_all(slot.handle);
            break;
        case kStop:
            stop_watching_all(slot.handle);
            break;
        case kWakeup:
            wakeup(slot.handle);
            break;
        case kAdd:
            pick(2) ? add_path(slot.handle, path.c_str()) : add_paths(slot.handle, paths, 2);
            break;
        case kRemove:
            pick(2) ? remove_path(slot.handle, path.c_str()) : remove_paths(slot.handle, paths, 2);
            break;
        default:
            break;
    }
    return true;
}

void onPassingPath(const char*, int) {}
void onPassingScan(const char*) {}
void onPassingFinished() {}

// A watcher of its own, briefly, beside the four.
void createAndEnd(int index) {
    const std::string root = trees[index];
    const char* paths[] = {root.c_str()};
    void* watcher = create_watcher(onPassingPath, onPassingPath, onPassingPath, onPassingScan,
                                   onPassingFinished, paths, 1);
    wakeup(watcher);
    invalidate(watcher);
}

void reenter(int slot, bool finished) {
    const int choice = pick(finished ? 32 : 128);
    const int target = pick(2) ? slot : pick(kSlots);
    // Invalidate only its own watcher: invalidating another's waits for that one's callbacks.
    const Operation operation = choice == 0  ? kInvalidate
                                : choice < 6 ? static_cast<Operation>(kStart + choice - 1)
                                             : kWakeup;
    if (operate(operation, operation == kInvalidate ? slot : target, true)) {
        ++fromCallbacks[operation];
    }
}

void callOften(Clock::time_point end, Beat& beat) {
    beat.busy = true;
    while (Clock::now() < end) {
        const auto operation = static_cast<Operation>(pick(kOperations));
        const int index = pick(kSlots);
        if (operation == kCreate) {
            createAndEnd(index);
        } else {
            operate(operation, index, false);
        }
        ++fromCallers[operation];
        ++beat.steps;
    }
    beat.busy = false;
}

void changeFiles(Clock::time_point end, Beat& beat) {
    beat.busy = true;
    while (Clock::now() < end) {
        const std::string tree = trees[pick(kSlots)];
        const std::string file = tree + (pick(3) ? "/f" : "/sub/f") + std::to_string(pick(40));
        switch (pick(4)) {
            case 0:
                unlink(file.c_str());
                break;
            case 1:
                mkdir((tree + "/sub").c_str(), 0755);
                break;
            default: {
                const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
                if (fd >= 0) {
                    (void)!write(fd, "x", 1);
                    close(fd);
                }
            }
        }
        ++fileChanges;
        ++beat.steps;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    beat.busy = false;
}

// Prints every thread's stack through gdb attached to this process, then ends it.
[[noreturn]] void giveUp(const Beat& stuck) {
    std::fprintf(report, "%s made no step for %lld s; every thread's stack:\n", stuck.name,
                 static_cast<long long>(kPatience.count()));
    const std::string pid = std::to_string(getpid());
    const char* argv[] = {"gdb",          "-batch",    "-nx",
                          "-p",           pid.c_str(), "-ex",
                          "info threads", "-ex",       "thread apply all bt",
                          nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fileno(report), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fileno(report), STDERR_FILENO);
    pid_t child = 0;
    if (posix_spawnp(&child, "gdb", &actions, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    } else {
        std::fprintf(report, "could not start gdb\n");
    }
    std::_Exit(1);
}

void watch(const std::atomic<bool>& done) {
    struct Seen {
        long steps = -1;
        Clock::time_point at;
    } seen[std::size(beats)];
    while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto now = Clock::now();
        for (std::size_t i = 0; i < std::size(beats); ++i) {
            const long steps = beats[i].steps.load();
            if (!beats[i].busy || steps != seen[i].steps) {
                seen[i] = {steps, now};
            } else if (now - seen[i].at > kPatience) {
                giveUp(beats[i]);
            }
        }
    }
}

}  // namespace

int main() {
    report = fdopen(dup(STDERR_FILENO), "w");
    setvbuf(report, nullptr, _IONBF, 0);
    char logPath[] = "/tmp/vtnative-stress-log-XXXXXX";
    const int logFd = mkstemp(logPath);
    if (logFd < 0 || dup2(logFd, STDERR_FILENO) < 0) {
        std::fprintf(report, "cannot redirect the log\n");
        return 2;
    }
    if (__sanitizer_set_report_fd) {  // beside the counts, not in the log that is thrown away
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(fileno(report))));
    }
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);  // lets the watchdog's gdb attach
    std::atomic<bool> done{false};
    std::thread watchdog(watch, std::cref(done));

    for (int i = 0; i < kSlots; ++i) {
        char pattern[] = "/tmp/vtnative-stress-XXXXXX";
        trees[i] = mkdtemp(pattern);
        mkdir((trees[i] + "/sub").c_str(), 0755);
        slots[i].live[0] = true;
        slots[i].handle = createFor(i, 0);
    }
    const auto end = Clock::now() + kRunTime;
    std::vector<std::thread> threads;
    threads.emplace_back(changeFiles, end, std::ref(beats[kWriterBeat]));
    for (int i = 0; i < kCallers; ++i) {
        threads.emplace_back(callOften, end, std::ref(beats[i]));
    }
    for (auto& thread : threads) {
        thread.join();
    }
    beats[kEndBeat].busy = true;
    for (int i = 0; i < kSlots; ++i) {
        std::unique_lock lock(slots[i].lock);
        invalidate(slots[i].handle);
        slots[i].handle = nullptr;
        slots[i].live[slots[i].set] = false;
        ++beats[kEndBeat].steps;
    }
    beats[kEndBeat].busy = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // room for stragglers to show
    done = true;
    watchdog.join();

    std::fprintf(report, "operations from %d threads:", kCallers);
    for (int i = 0; i < kOperations; ++i) {
        std::fprintf(report, " %s %ld", kOperationNames[i], fromCallers[i].load());
    }
    std::fprintf(report, "\noperations from callbacks:");
    for (int i = 0; i < kOperations; ++i) {
        std::fprintf(report, " %s %ld", kOperationNames[i], fromCallbacks[i].load());
    }
    std::fprintf(report, "\ncallbacks:");
    for (int i = 0; i < kEvents; ++i) {
        std::fprintf(report, " %s %ld", kEventNames[i], events[i].load());
    }
    std::fprintf(report, "\nfile changes %ld; callbacks after invalidate %ld\n", fileChanges.load(),
                 callsAfterInvalidate.load());

    for (const auto& tree : trees) {
        std::error_code error;
        std::filesystem::remove_all(tree, error);
    }
    unlink(logPath);
    const long reported = events[kCreated] + events[kModified] + events[kDeleted];
    if (callsAfterInvalidate > 0 || reported == 0) {
        std::fprintf(report, "FAILED\n");
        return 1;
    }
    std::fprintf(report, "passed\n");
    return 0;
}

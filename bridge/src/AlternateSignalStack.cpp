#include "src/AlternateSignalStack.h"

#include <signal.h>
#include <sys/mman.h>

namespace nativio {

namespace {

// Generous: the previous handler we chain to (the JVM's) may run on it as well.
constexpr size_t kStackSize = 256 * 1024;

}  // namespace

void AlternateSignalStack::ensureForCurrentThread() {
    // The flag keeps the common path to one TLS load; the stack object itself, whose
    // destructor runs at thread exit, is created once per thread.
    thread_local bool ready __attribute__((tls_model("initial-exec"))) = false;
    if (!ready) {
        thread_local AlternateSignalStack stack;
        ready = true;
    }
}

AlternateSignalStack::AlternateSignalStack() {
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE)) {
        return;
    }
    void* memory =
        mmap(nullptr, kStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        return;
    }
    stack_t ours{};
    ours.ss_sp = memory;
    ours.ss_size = kStackSize;
    if (sigaltstack(&ours, nullptr) != 0) {
        munmap(memory, kStackSize);
        return;
    }
    memory_ = memory;
}

AlternateSignalStack::~AlternateSignalStack() {
    if (memory_ == nullptr) {
        return;
    }
    stack_t disabled{};
    disabled.ss_flags = SS_DISABLE;
    if (sigaltstack(&disabled, nullptr) == 0) {
        munmap(memory_, kStackSize);
    }
}

}  // namespace nativio

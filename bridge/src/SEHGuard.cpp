#include "src/SEHGuard.h"

#include <pthread.h>
#include <ucontext.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "src/AlternateSignalStack.h"
#include "src/SignalSafeText.h"

namespace nativio {

namespace {

struct GuardedSignal {
    int number;
    const char* failure;
};

constexpr GuardedSignal kGuardedSignals[] = {
    {SIGFPE, "SIGFPE signal handler failed to install\n"},
    {SIGBUS, "SIGBUS signal handler failed to install\n"},
    {SIGSEGV, "SIGSEGV signal handler failed to install\n"},
};

// The thread's innermost guard. Initial-exec TLS is a plain %fs-relative load: cheap on every
// call and safe to read from the signal handler, which must never trigger a lazy allocation.
thread_local SEHGuard* innermostGuard __attribute__((tls_model("initial-exec"))) = nullptr;
struct sigaction previousHandlers[NSIG];
std::once_flag installation;
std::atomic<bool> installed{false};

}  // namespace

SEHGuard::SEHGuard() : previous_(innermostGuard) {
    installHandlers();
    innermostGuard = this;
}

SEHGuard::~SEHGuard() {
    innermostGuard = previous_;
}

sigjmp_buf& SEHGuard::prepareJumpBuffer() {
    faultCode_ = 0;
    armed_ = 1;
    return jumpBuffer_;
}

void SEHGuard::installHandlers() {
    if (installed.load(std::memory_order_acquire)) {
        return;
    }
    std::call_once(installation, [] {
        for (const GuardedSignal& guarded : kGuardedSignals) {
            struct sigaction& previous = previousHandlers[guarded.number];
            sigaction(guarded.number, nullptr, &previous);
            struct sigaction action {};
            action.sa_sigaction = &SEHGuard::handler;
            action.sa_flags = SA_SIGINFO | SA_RESTART;
            if (guarded.number == SIGSEGV) {
                action.sa_flags |= SA_ONSTACK;
            }
            // Block what the previous handler blocks, so it runs as it expects when we pass a
            // signal on to it.
            action.sa_mask = previous.sa_mask;
            if (sigaction(guarded.number, &action, nullptr) != 0) {
                std::fputs(guarded.failure, stderr);
            }
        }
        installed.store(true, std::memory_order_release);
    });
}

int SEHGuard::run(void (*work)(void*), void* context) {
    AlternateSignalStack::ensureForCurrentThread();
    SEHGuard guard;
    // The signal mask is not saved here (that would cost a system call per guarded call);
    // the handler restores the mask of the interrupted code itself before jumping back.
    if (sigsetjmp(guard.prepareJumpBuffer(), 0) != 0) {
        return guard.faultCode();
    }
    work(context);
    guard.disarm();
    return 0;
}

void SEHGuard::handler(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    SEHGuard* guard = innermostGuard;
    if (guard != nullptr && guard->armed_) {
        guard->armed_ = 0;
        guard->faultCode_ = signal;
        SignalSafeText()
            .text("signal ")
            .decimal(signal)
            .text(" occured at ")
            .hex(reinterpret_cast<uintptr_t>(info->si_addr))
            .text("\n")
            .writeToStandardError();
        pthread_sigmask(SIG_SETMASK, &static_cast<ucontext_t*>(context)->uc_sigmask, nullptr);
        siglongjmp(guard->jumpBuffer_, 1);
    }
    errno = savedErrno;
    passOn(signal, info, context);
}

void SEHGuard::passOn(int signal, siginfo_t* info, void* context) {
    const struct sigaction& previous = previousHandlers[signal];
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(signal, info, context);
        return;
    }
    if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(signal);
        return;
    }
    // Nobody else wants the fault: die of it with the default action, as the process would
    // have without us. The signal stays blocked until this handler returns.
    SignalSafeText()
        .text("unexpected signal ")
        .decimal(signal)
        .text(" occured at ")
        .hex(reinterpret_cast<uintptr_t>(info->si_addr))
        .text("\n")
        .writeToStandardError();
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace nativio

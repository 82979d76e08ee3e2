#pragma once

#include <setjmp.h>
#include <signal.h>

namespace nativio {

// Turns a hardware fault (invalid memory access, bus error, arithmetic fault) inside a guarded
// region into a jump back to the region's start. Guards live on the native stack and nest per
// thread; only the thread's innermost guard, and only while armed, catches a fault. Any other
// fault goes to the handler that was installed before ours (the JVM's own), so Java's
// null-pointer, division and stack-overflow handling keeps working.
class SEHGuard {
  public:
    SEHGuard();
    ~SEHGuard();
    SEHGuard(const SEHGuard&) = delete;
    SEHGuard& operator=(const SEHGuard&) = delete;

    // Arms the guard; the caller passes the buffer to sigsetjmp at once.
    sigjmp_buf& prepareJumpBuffer();
    void disarm() { armed_ = 0; }
    int faultCode() const { return faultCode_; }

    // Installs the fault handlers; later calls do nothing.
    static void installHandlers();

    // Runs work(context) under a fresh guard. Returns 0, or the signal number of the fault that
    // ended the work early. The work must not own anything that needs a destructor.
    static int run(void (*work)(void*), void* context);

  private:
    static void handler(int signal, siginfo_t* info, void* context);
    static void passOn(int signal, siginfo_t* info, void* context);

    SEHGuard* const previous_;
    volatile sig_atomic_t armed_ = 0;
    volatile sig_atomic_t faultCode_ = 0;
    sigjmp_buf jumpBuffer_;
};

}  // namespace nativio

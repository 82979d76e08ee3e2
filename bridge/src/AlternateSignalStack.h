#pragma once

namespace nativio {

// Gives the calling thread an alternate signal stack, so that a memory fault caused by a
// runaway recursion in foreign code can still be handled. A thread that already has one
// (installed by its owner) keeps it. The stack is released when the thread ends.
class AlternateSignalStack {
  public:
    static void ensureForCurrentThread();

    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;
    ~AlternateSignalStack();

  private:
    AlternateSignalStack();

    void* memory_ = nullptr;
};

}  // namespace nativio

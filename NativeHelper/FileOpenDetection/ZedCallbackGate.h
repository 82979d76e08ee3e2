#pragma once

#include <condition_variable>
#include <mutex>

// Lets the caller's callbacks through until it is closed. Closing waits until none of them runs
// any more, except those the closing thread itself is inside of: closing from within a callback
// (or from a block it runs synchronously on a queue) returns at once, and nothing starts after.
class ZedCallbackGate {
  public:
    // Runs `callback` unless the gate is closed.
    template <typename Callback>
    void pass(Callback&& callback) {
        if (enter()) {
            callback();
            leave();
        }
    }

    void close();

  private:
    bool enter();
    void leave();
    int enteredOnThisThread() const;

    std::mutex mutex_;
    std::condition_variable left_;
    bool closed_ = false;
    int running_ = 0;
};

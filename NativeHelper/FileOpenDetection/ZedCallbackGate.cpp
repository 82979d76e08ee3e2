#include "FileOpenDetection/ZedCallbackGate.h"

#include <algorithm>
#include <vector>

namespace {

// The gates whose callback the calling thread runs, innermost last.
thread_local std::vector<const ZedCallbackGate*> enteredGates;

}  // namespace

bool ZedCallbackGate::enter() {
    std::lock_guard lock(mutex_);
    if (closed_) {
        return false;
    }
    ++running_;
    enteredGates.push_back(this);
    return true;
}

void ZedCallbackGate::leave() {
    enteredGates.pop_back();
    {
        std::lock_guard lock(mutex_);
        --running_;
    }
    left_.notify_all();
}

int ZedCallbackGate::enteredOnThisThread() const {
    return static_cast<int>(std::count(enteredGates.begin(), enteredGates.end(), this));
}

void ZedCallbackGate::close() {
    const int own = enteredOnThisThread();
    std::unique_lock lock(mutex_);
    closed_ = true;
    left_.wait(lock, [this, own] { return running_ <= own; });
}

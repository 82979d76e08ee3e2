#pragma once

#include <cstdint>
#include <functional>
#include <string>

// A kernel facility that reports changes under directory trees, turned into journal events with
// the journal's flags. The journal picks one at run time for each root (see
// ZedEventSourceRouter).
class ZedEventSource {
  public:
    using Sink = std::function<void(const std::string& path, std::uint32_t flags)>;
    using Drained = std::function<void()>;

    virtual ~ZedEventSource() = default;

    // Reads on a thread of its own until stopReading(); without it only drain() reads.
    virtual void startReading() = 0;
    virtual void stopReading() = 0;

    // Roots are counted: a tree stays watched until every root naming it is removed. False when
    // this source cannot watch the root, so that another source may.
    virtual bool addRoot(const std::string& root) = 0;
    virtual void removeRoot(const std::string& root) = 0;

    // Hands the sink everything the kernel has queued so far. A change whose system call
    // returned before this call is in the kernel's queue already, so it is handed over too.
    virtual void drain() = 0;
};

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/events/ZedMountWatch.h"
#include "platform/events/ZedReaderThread.h"

// A kernel facility that reports changes under directory trees, turned into journal events with
// the journal's flags. The journal picks one at run time for each root (see
// ZedEventSourceRouter). What they share: the sink, the reading thread, and the mount table,
// whose changes inside a root each source follows in its own way.
class ZedEventSource {
  public:
    using Sink = std::function<void(const std::string& path, std::uint32_t flags)>;
    using Drained = std::function<void()>;

    virtual ~ZedEventSource();
    ZedEventSource(const ZedEventSource&) = delete;
    ZedEventSource& operator=(const ZedEventSource&) = delete;

    // Reads on a thread of its own until stopReading(); without it only drain() reads.
    void startReading();
    // Each source calls it first in its destructor: the thread reads the source's state.
    void stopReading();

    // Roots are counted: a tree stays watched until every root naming it is removed. False when
    // this source cannot watch the root, so that another source may. Both may record events;
    // they leave calling `drained` to their caller, which may hold a lock of its own.
    virtual bool addRoot(const std::string& root) = 0;
    virtual void removeRoot(const std::string& root) = 0;

    // Hands the sink everything the kernel has queued so far. A change whose system call
    // returned before this call is in the kernel's queue already, so it is handed over too; so
    // is a mount made before it.
    void drain();

  protected:
    static constexpr std::size_t kReadBufferSize = 64 * 1024;

    // Takes `fd`, the source's kernel descriptor (-1 when it could not be made).
    ZedEventSource(Sink sink, Drained drained, int fd);

    // With mutex_ held: hands the sink what the kernel has queued.
    virtual void drainLocked() = 0;
    // With mutex_ held: the mount table changed.
    virtual void followMounts() = 0;

    Sink sink_;        // called with mutex_ held, in the kernel's order
    Drained drained_;  // called with no lock held after each read, so it may do anything
    const int fd_;
    const std::unique_ptr<char[]> buffer_;  // only the pages a read fills are ever touched
    std::mutex mutex_;
    ZedMountWatch mounts_;

  private:
    void mountsChanged();

    ZedReaderThread reader_;
};

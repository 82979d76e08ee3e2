#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/events/ZedEventJournal.h"
#include "platform/events/ZedRunLoop.h"

// Receives one group of events on the stream's run loop: `paths` is an array of C strings. The
// arrays live for the call only.
using ZedEventStreamCallback = void (*)(const void* stream, void* info, std::size_t numEvents,
                                        void* paths, const std::uint32_t* flags,
                                        const std::uint64_t* ids);

// A stream over a list of directory trees, in the manner of an FSEvents stream. Recording starts
// at creation. Each start replays the journal from the stream's position (at first the id it was
// created with), ends the replay with an event carrying the history-done bit, and then delivers
// live events in groups, each group `latency` after its first event. Stopping ends deliveries;
// the next start resumes from where the last delivery left off.
class ZedEventStream : public std::enable_shared_from_this<ZedEventStream> {
  public:
    // `retainedInfo` keeps `info` alive until invalidate(). Null for an empty path list.
    static std::shared_ptr<ZedEventStream> create(ZedEventJournal& journal,
                                                  ZedEventStreamCallback callback, void* info,
                                                  std::shared_ptr<void> retainedInfo,
                                                  const std::vector<std::string>& paths,
                                                  std::uint64_t sinceId, double latencySeconds);
    ~ZedEventStream();
    ZedEventStream(const ZedEventStream&) = delete;
    ZedEventStream& operator=(const ZedEventStream&) = delete;

    void scheduleWithRunLoop(std::shared_ptr<ZedRunLoop> runLoop);
    void unscheduleFromRunLoop();

    // False when the stream is not scheduled or was invalidated.
    bool start();
    void stop();
    // No callback starts after this returns; the retained info is let go.
    void invalidate();

  private:
    ZedEventStream(ZedEventJournal& journal, ZedEventStreamCallback callback, void* info,
                   std::shared_ptr<void> retainedInfo, std::chrono::milliseconds latency);

    void eventsArrived();
    void deliver(bool replay);

    ZedEventJournal& journal_;
    const ZedEventStreamCallback callback_;
    void* const info_;
    const std::chrono::milliseconds latency_;
    std::uint64_t readerKey_ = 0;

    std::mutex mutex_;
    std::shared_ptr<void> retainedInfo_;
    std::shared_ptr<ZedRunLoop> runLoop_;
    bool started_ = false;
    bool valid_ = true;
    bool flushPending_ = false;
    std::uint64_t generation_ = 0;  // counts starts, so a stale delivery knows itself
};

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/events/ZedEventSourceRouter.h"

// The process's history of file-system events under the roots that live streams watch: every
// event gets the next 64-bit id, and a stream asks for everything after the last id it saw.
// Recording of a root starts when the first stream naming it registers. The journal keeps what
// some stream can still ask for, up to a bound; a stream that lost events to the bound, or asks
// for a past the journal no longer holds, gets must-scan on its roots instead.
class ZedEventJournal {
  public:
    struct Event {
        std::uint64_t id;
        std::string path;
        std::uint32_t flags;
    };
    using Listener = std::function<void()>;

    static constexpr std::size_t kDefaultCapacity = 262144;

    // The process's journal, reading the kernel on a thread of its own.
    static ZedEventJournal& shared();
    // Ends the process's journal, if one was made; the library calls this when it is unloaded.
    static void shutdownShared();

    // A journal whose sources read only when asked (drain) unless `readInBackground`.
    ZedEventJournal(
        bool readInBackground, std::size_t capacity = kDefaultCapacity,
        ZedEventSourceRouter::Choice sources = ZedEventSourceRouter::choiceFromEnvironment());
    ZedEventJournal(const ZedEventJournal&) = delete;
    ZedEventJournal& operator=(const ZedEventJournal&) = delete;

    // The id of the newest event, after everything the kernel had queued has been recorded.
    std::uint64_t currentEventId();

    // Everything changed before this call is recorded when it returns.
    void drain();

    // Registers a reader of the events under `roots` after `sinceId`; `listener` is called
    // (without locks held) whenever such an event is recorded. Returns the registration's key.
    std::uint64_t registerReader(const std::vector<std::string>& roots, std::uint64_t sinceId,
                                 Listener listener);
    void unregisterReader(std::uint64_t key);

    // Which kernel facility records a root's events: "fanotify" or "inotify".
    std::string sourceOf(const std::string& root);

    // The reader's events after its position, oldest first, with consecutive events of one path
    // merged; the position moves to the newest id, which `position` receives.
    std::vector<Event> collect(std::uint64_t key, std::uint64_t& position);

    // Records one event; used by the kernel source, which then calls notifyReaders().
    void record(const std::string& path, std::uint32_t flags);
    // Calls the listeners of the readers that got events since the last call. A listener may
    // end its reader's stream, so this runs with no lock held.
    void notifyReaders();

  private:
    using Clock = std::chrono::steady_clock;

    struct Entry {
        std::uint64_t id;
        std::string path;
        std::uint32_t flags;
        Clock::time_point time;
    };
    struct Reader {
        std::vector<std::string> roots;
        std::uint64_t position;
        Listener listener;
    };

    bool covers(const Reader& reader, const std::string& path) const;
    void forgetWhatNobodyNeeds();

    const std::size_t capacity_;
    std::mutex mutex_;
    std::deque<Entry> entries_;
    std::uint64_t lastId_ = 0;
    std::uint64_t forgottenThrough_ = 0;  // newest id no longer held
    std::map<std::uint64_t, Reader> readers_;
    std::set<std::uint64_t> readersToNotify_;
    std::uint64_t nextKey_ = 1;
    ZedEventSourceRouter source_;
};

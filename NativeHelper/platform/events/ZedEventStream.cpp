#include "platform/events/ZedEventStream.h"

#include "platform/events/ZedEventFlags.h"

std::shared_ptr<ZedEventStream> ZedEventStream::create(ZedEventJournal& journal,
                                                       ZedEventStreamCallback callback, void* info,
                                                       std::shared_ptr<void> retainedInfo,
                                                       const std::vector<std::string>& paths,
                                                       std::uint64_t sinceId,
                                                       double latencySeconds) {
    if (paths.empty() || !callback) {
        return nullptr;
    }
    const auto latency = std::chrono::milliseconds(
        static_cast<std::int64_t>(latencySeconds > 0 ? latencySeconds * 1000 : 0));
    std::shared_ptr<ZedEventStream> stream(
        new ZedEventStream(journal, callback, info, std::move(retainedInfo), latency));
    std::weak_ptr<ZedEventStream> weakStream = stream;
    stream->readerKey_ = journal.registerReader(paths, sinceId, [weakStream] {
        if (auto strong = weakStream.lock()) {
            strong->eventsArrived();
        }
    });
    return stream;
}

ZedEventStream::ZedEventStream(ZedEventJournal& journal, ZedEventStreamCallback callback,
                               void* info, std::shared_ptr<void> retainedInfo,
                               std::chrono::milliseconds latency)
    : journal_(journal),
      callback_(callback),
      info_(info),
      latency_(latency),
      retainedInfo_(std::move(retainedInfo)) {}

ZedEventStream::~ZedEventStream() {
    journal_.unregisterReader(readerKey_);
}

void ZedEventStream::scheduleWithRunLoop(std::shared_ptr<ZedRunLoop> runLoop) {
    std::lock_guard lock(mutex_);
    runLoop_.swap(runLoop);
}

void ZedEventStream::unscheduleFromRunLoop() {
    std::shared_ptr<ZedRunLoop> runLoop;
    std::lock_guard lock(mutex_);
    runLoop.swap(runLoop_);
}

bool ZedEventStream::start() {
    journal_.drain();
    std::lock_guard lock(mutex_);
    if (!valid_ || !runLoop_) {
        return false;
    }
    if (started_) {
        return true;
    }
    started_ = true;
    flushPending_ = false;
    const std::uint64_t generation = ++generation_;
    std::weak_ptr<ZedEventStream> weakSelf = weak_from_this();
    runLoop_->perform([weakSelf, generation] {
        if (auto strong = weakSelf.lock()) {
            std::unique_lock lock(strong->mutex_);
            if (strong->generation_ == generation) {
                lock.unlock();
                strong->deliver(true);
            }
        }
    });
    return true;
}

void ZedEventStream::stop() {
    std::lock_guard lock(mutex_);
    started_ = false;
    flushPending_ = false;
}

void ZedEventStream::invalidate() {
    // What the stream held goes after the lock: the info's end may take locks of its own.
    std::shared_ptr<void> retainedInfo;
    std::shared_ptr<ZedRunLoop> runLoop;
    std::lock_guard lock(mutex_);
    started_ = false;
    valid_ = false;
    retainedInfo.swap(retainedInfo_);
    runLoop.swap(runLoop_);
}

void ZedEventStream::eventsArrived() {
    std::lock_guard lock(mutex_);
    if (!started_ || flushPending_ || !runLoop_) {
        return;
    }
    flushPending_ = true;
    std::weak_ptr<ZedEventStream> weakSelf = weak_from_this();
    const std::uint64_t generation = generation_;
    runLoop_->performAfter(latency_, [weakSelf, generation] {
        if (auto strong = weakSelf.lock()) {
            std::unique_lock lock(strong->mutex_);
            if (strong->generation_ == generation && strong->flushPending_) {
                strong->flushPending_ = false;
                lock.unlock();
                strong->deliver(false);
            }
        }
    });
}

// Runs on the run loop's thread, so deliveries never overlap and invalidate() waits for none:
// a delivery that has begun holds its own reference to the info.
void ZedEventStream::deliver(bool replay) {
    std::vector<ZedEventJournal::Event> events;
    std::shared_ptr<void> keepInfo;
    std::uint64_t position = 0;
    {
        std::lock_guard lock(mutex_);
        if (!started_ || !valid_) {
            return;
        }
        keepInfo = retainedInfo_;
        events = journal_.collect(readerKey_, position);
    }
    if (replay) {
        events.push_back({position, "", ZedEventFlags::kHistoryDone});
    }
    if (events.empty()) {
        return;
    }
    std::vector<char*> paths;
    std::vector<std::uint32_t> flags;
    std::vector<std::uint64_t> ids;
    for (auto& event : events) {
        paths.push_back(event.path.data());
        flags.push_back(event.flags);
        ids.push_back(event.id);
    }
    callback_(this, info_, events.size(), paths.data(), flags.data(), ids.data());
}

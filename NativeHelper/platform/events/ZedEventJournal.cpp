#include "platform/events/ZedEventJournal.h"

#include <algorithm>

#include "Categories/ZedPathComponents.h"
#include "platform/events/ZedEventFlags.h"

namespace {
// Events of one path closer together than this merge into one entry, as a stream's latency
// would merge them.
constexpr std::chrono::seconds kMergeWindow{1};
// Entries that every reader has seen are dropped in batches of this size.
constexpr std::size_t kTrimThreshold = 4096;

std::mutex sharedMutex;
// A plain pointer: no static destructor may race the library's unload hook for it.
ZedEventJournal* sharedJournal = nullptr;

}  // namespace

ZedEventJournal& ZedEventJournal::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedJournal) {
        sharedJournal = new ZedEventJournal(true);
    }
    return *sharedJournal;
}

void ZedEventJournal::shutdownShared() {
    std::lock_guard lock(sharedMutex);
    delete sharedJournal;
    sharedJournal = nullptr;
}

ZedEventJournal::ZedEventJournal(bool readInBackground, std::size_t capacity,
                                 ZedEventSourceRouter::Choice sources)
    : capacity_(std::max<std::size_t>(capacity, 1)),
      source_([this](const std::string& path, std::uint32_t flags) { record(path, flags); },
              [this] { notifyReaders(); }, sources) {
    if (readInBackground) {
        source_.startReading();
    }
}

std::uint64_t ZedEventJournal::currentEventId() {
    source_.drain();
    std::lock_guard lock(mutex_);
    return lastId_;
}

void ZedEventJournal::drain() {
    source_.drain();
}

std::uint64_t ZedEventJournal::registerReader(const std::vector<std::string>& roots,
                                              std::uint64_t sinceId, Listener listener) {
    Reader reader{{}, sinceId, std::move(listener)};
    for (const auto& root : roots) {
        reader.roots.push_back(ZedPathComponents::normalized(root));
    }
    for (const auto& root : reader.roots) {
        source_.addRoot(root);
    }
    std::lock_guard lock(mutex_);
    const std::uint64_t key = nextKey_++;
    readers_.emplace(key, std::move(reader));
    return key;
}

void ZedEventJournal::unregisterReader(std::uint64_t key) {
    std::vector<std::string> roots;
    {
        std::lock_guard lock(mutex_);
        const auto found = readers_.find(key);
        if (found == readers_.end()) {
            return;
        }
        roots = std::move(found->second.roots);
        readers_.erase(found);
        forgetWhatNobodyNeeds();
    }
    for (const auto& root : roots) {
        source_.removeRoot(root);
    }
}

std::string ZedEventJournal::sourceOf(const std::string& root) {
    return source_.sourceOf(ZedPathComponents::normalized(root));
}

std::vector<ZedEventJournal::Event> ZedEventJournal::collect(std::uint64_t key,
                                                             std::uint64_t& position) {
    std::vector<Event> events;
    std::lock_guard lock(mutex_);
    const auto found = readers_.find(key);
    if (found == readers_.end()) {
        return events;
    }
    Reader& reader = found->second;
    if (reader.position < forgottenThrough_) {
        for (const auto& root : reader.roots) {
            events.push_back({forgottenThrough_, root,
                              ZedEventFlags::kMustScanSubDirs | ZedEventFlags::kUserDropped |
                                  ZedEventFlags::kItemIsDir});
        }
    }
    const auto first =
        std::upper_bound(entries_.begin(), entries_.end(), reader.position,
                         [](std::uint64_t id, const Entry& entry) { return id < entry.id; });
    for (auto entry = first; entry != entries_.end(); ++entry) {
        if (!covers(reader, entry->path)) {
            continue;
        }
        if (!events.empty() && events.back().path == entry->path) {
            events.back().flags |= entry->flags;
            events.back().id = entry->id;
        } else {
            events.push_back({entry->id, entry->path, entry->flags});
        }
    }
    reader.position = lastId_;
    position = lastId_;
    if (entries_.size() >= kTrimThreshold) {
        forgetWhatNobodyNeeds();
    }
    return events;
}

void ZedEventJournal::record(const std::string& path, std::uint32_t flags) {
    std::lock_guard lock(mutex_);
    bool covered = false;
    for (const auto& [key, reader] : readers_) {
        if (covers(reader, path)) {
            covered = true;
            readersToNotify_.insert(key);
        }
    }
    if (!covered) {
        return;
    }
    const auto now = Clock::now();
    Entry* last = entries_.empty() ? nullptr : &entries_.back();
    if (last && last->path == path && now - last->time < kMergeWindow) {
        last->flags |= flags;
        last->id = ++lastId_;
    } else {
        entries_.push_back({++lastId_, path, flags, now});
    }
    while (entries_.size() > capacity_) {
        forgottenThrough_ = entries_.front().id;
        entries_.pop_front();
    }
}

void ZedEventJournal::notifyReaders() {
    std::vector<Listener> listeners;
    {
        std::lock_guard lock(mutex_);
        for (const auto key : readersToNotify_) {
            const auto reader = readers_.find(key);
            if (reader != readers_.end() && reader->second.listener) {
                listeners.push_back(reader->second.listener);
            }
        }
        readersToNotify_.clear();
    }
    for (const auto& listener : listeners) {
        listener();
    }
}

bool ZedEventJournal::covers(const Reader& reader, const std::string& path) const {
    for (const auto& root : reader.roots) {
        if (ZedPathComponents::contains(root, path)) {
            return true;
        }
    }
    return false;
}

void ZedEventJournal::forgetWhatNobodyNeeds() {
    std::uint64_t needed = lastId_;
    for (const auto& [key, reader] : readers_) {
        needed = std::min(needed, reader.position);
    }
    while (!entries_.empty() && entries_.front().id <= needed) {
        forgottenThrough_ = entries_.front().id;
        entries_.pop_front();
    }
}

#include "platform/events/ZedEventSourceRouter.h"

#include <cstdlib>
#include <cstring>

#include "Logging/ZedLogging/ZedLog.h"
#include "platform/events/ZedFanotifySource.h"
#include "platform/events/ZedInotifySource.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
}

ZedEventSourceRouter::ZedEventSourceRouter(ZedEventSource::Sink sink,
                                           ZedEventSource::Drained drained, Choice choice)
    : sink_(std::move(sink)), drained_(std::move(drained)) {
    if (choice == Choice::automatic) {
        fanotify_ = ZedFanotifySource::open(sink_, drained_);
    }
}

ZedEventSourceRouter::~ZedEventSourceRouter() {
    stopReading();
}

ZedEventSourceRouter::Choice ZedEventSourceRouter::choiceFromEnvironment() {
    const char* choice = std::getenv("VTNATIVE_FILE_EVENTS");
    return choice && !std::strcmp(choice, "inotify") ? Choice::inotifyOnly : Choice::automatic;
}

void ZedEventSourceRouter::startReading() {
    std::lock_guard lock(mutex_);
    reading_ = true;
    forEachSource([](ZedEventSource& source) { source.startReading(); });
}

// A reading thread may be calling the listeners, which may remove roots: it is waited for
// without the lock.
void ZedEventSourceRouter::stopReading() {
    for (ZedEventSource* source : sources([this] { reading_ = false; })) {
        source->stopReading();
    }
}

// Root changes read what the kernel holds and so record events; the listeners hear of them once
// the lock is let go, as they may add or remove roots themselves.
void ZedEventSourceRouter::addRoot(const std::string& root) {
    {
        std::lock_guard lock(mutex_);
        auto& [source, count] = roots_[root];
        if (count++ > 0) {
            source->addRoot(root);
        } else {
            if (fanotify_ && fanotify_->addRoot(root)) {
                source = fanotify_.get();
            } else {
                source = &inotify();
                source->addRoot(root);
            }
            ZedLogInfo(kLogMask, ZedLogContextPlatform, "watching (%s) with %s", root.c_str(),
                       nameOf(source));
        }
    }
    drained_();
}

void ZedEventSourceRouter::removeRoot(const std::string& root) {
    {
        std::lock_guard lock(mutex_);
        const auto found = roots_.find(root);
        if (found == roots_.end()) {
            return;
        }
        found->second.first->removeRoot(root);
        if (--found->second.second == 0) {
            roots_.erase(found);
        }
    }
    drained_();
}

// Each source calls the listeners itself after its own read, with no lock held.
void ZedEventSourceRouter::drain() {
    for (ZedEventSource* source : sources([] {})) {
        source->drain();
    }
}

template <typename Change>
std::vector<ZedEventSource*> ZedEventSourceRouter::sources(Change change) {
    std::vector<ZedEventSource*> present;
    std::lock_guard lock(mutex_);
    change();
    forEachSource([&present](ZedEventSource& source) { present.push_back(&source); });
    return present;
}

std::string ZedEventSourceRouter::sourceOf(const std::string& root) {
    std::lock_guard lock(mutex_);
    const auto found = roots_.find(root);
    if (found == roots_.end()) {
        return "";
    }
    return nameOf(found->second.first);
}

const char* ZedEventSourceRouter::nameOf(const ZedEventSource* source) const {
    return source == fanotify_.get() ? "fanotify" : "inotify";
}

template <typename Action>
void ZedEventSourceRouter::forEachSource(Action action) {
    for (auto* source : {fanotify_.get(), inotify_.get()}) {
        if (source) {
            action(*source);
        }
    }
}

ZedEventSource& ZedEventSourceRouter::inotify() {
    if (!inotify_) {
        inotify_ = std::make_unique<ZedInotifySource>(sink_, drained_);
        if (reading_) {
            inotify_->startReading();
        }
    }
    return *inotify_;
}

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

void ZedEventSourceRouter::stopReading() {
    std::lock_guard lock(mutex_);
    reading_ = false;
    forEachSource([](ZedEventSource& source) { source.stopReading(); });
}

void ZedEventSourceRouter::addRoot(const std::string& root) {
    std::lock_guard lock(mutex_);
    auto& [source, count] = roots_[root];
    if (count++ > 0) {
        source->addRoot(root);
        return;
    }
    if (fanotify_ && fanotify_->addRoot(root)) {
        source = fanotify_.get();
    } else {
        source = &inotify();
        source->addRoot(root);
    }
    ZedLogInfo(kLogMask, ZedLogContextPlatform, "watching (%s) with %s", root.c_str(),
               nameOf(source));
}

void ZedEventSourceRouter::removeRoot(const std::string& root) {
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

void ZedEventSourceRouter::drain() {
    std::lock_guard lock(mutex_);
    forEachSource([](ZedEventSource& source) { source.drain(); });
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

#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/events/ZedEventSource.h"

// Chooses, root by root, the source that watches it: fanotify's one mark per file system where
// the kernel and the process's privileges allow it, inotify's watch per directory elsewhere.
// VTNATIVE_FILE_EVENTS=inotify in the environment keeps to inotify. The `drained` callback (the
// journal's listeners) is never called with the router's lock held.
class ZedEventSourceRouter {
  public:
    enum class Choice { automatic, inotifyOnly };

    ZedEventSourceRouter(ZedEventSource::Sink sink, ZedEventSource::Drained drained,
                         Choice choice = choiceFromEnvironment());
    ~ZedEventSourceRouter();
    ZedEventSourceRouter(const ZedEventSourceRouter&) = delete;
    ZedEventSourceRouter& operator=(const ZedEventSourceRouter&) = delete;

    static Choice choiceFromEnvironment();

    void startReading();
    void stopReading();
    void addRoot(const std::string& root);
    void removeRoot(const std::string& root);
    void drain();

    // Which source watches the root: "fanotify", "inotify", or "" when none does.
    std::string sourceOf(const std::string& root);

  private:
    ZedEventSource& inotify();
    const char* nameOf(const ZedEventSource* source) const;
    template <typename Action>
    void forEachSource(Action action);
    // The sources made so far, after `change` under the lock. A source, once made, lasts as long
    // as the router, so it may be used after the lock is let go.
    template <typename Change>
    std::vector<ZedEventSource*> sources(Change change);

    ZedEventSource::Sink sink_;
    ZedEventSource::Drained drained_;
    std::mutex mutex_;
    bool reading_ = false;
    std::unique_ptr<ZedEventSource> fanotify_;
    std::unique_ptr<ZedEventSource> inotify_;
    std::map<std::string, std::pair<ZedEventSource*, int>> roots_;  // source and count
};

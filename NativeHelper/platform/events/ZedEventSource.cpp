#include "platform/events/ZedEventSource.h"

#include <poll.h>
#include <unistd.h>

#include <vector>

ZedEventSource::ZedEventSource(Sink sink, Drained drained, int fd)
    : sink_(std::move(sink)),
      drained_(std::move(drained)),
      fd_(fd),
      buffer_(new char[kReadBufferSize]) {}

ZedEventSource::~ZedEventSource() {
    stopReading();
    if (fd_ >= 0) {
        close(fd_);
    }
}

void ZedEventSource::startReading() {
    std::vector<ZedReaderThread::Watched> watched{{fd_, POLLIN, [this] { drain(); }}};
    if (mounts_.fd() >= 0) {
        watched.push_back({mounts_.fd(), POLLPRI, [this] { mountsChanged(); }});
    }
    reader_.start(std::move(watched));
}

void ZedEventSource::stopReading() {
    reader_.stop();
}

void ZedEventSource::drain() {
    {
        std::lock_guard lock(mutex_);
        if (mounts_.changed()) {
            followMounts();
        }
        drainLocked();
    }
    drained_();
}

void ZedEventSource::mountsChanged() {
    {
        std::lock_guard lock(mutex_);
        followMounts();
    }
    drained_();
}

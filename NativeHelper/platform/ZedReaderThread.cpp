#include "ZedReaderThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "ZedLog.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
}

ZedReaderThread::ZedReaderThread() {
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        ZedLogError(kLogMask, ZedLogContextPlatform,
                    "unable to make the event reader's wake-up: %s", strerror(errno));
    }
}

ZedReaderThread::~ZedReaderThread() {
    stop();
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

void ZedReaderThread::start(int fd, std::function<void()> readable) {
    if (!thread_.joinable() && fd >= 0 && wakeFd_ >= 0) {
        thread_ = std::thread([this, fd, readable = std::move(readable)] { serve(fd, readable); });
    }
}

void ZedReaderThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to wake the event reader: %s",
                    strerror(errno));
    }
    thread_.join();
    std::uint64_t count = 0;
    if (read(wakeFd_, &count, sizeof count) < 0 && errno != EAGAIN) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "unable to reset the event reader: %s",
                    strerror(errno));
    }
}

void ZedReaderThread::serve(int fd, const std::function<void()>& readable) {
    pollfd watched[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            ZedLogError(kLogMask, ZedLogContextPlatform, "event reader stops: %s", strerror(errno));
            return;
        }
        if (watched[1].revents) {
            return;
        }
        if (watched[0].revents) {
            readable();
        }
    }
}

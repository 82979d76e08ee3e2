#include "platform/events/ZedReaderThread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "Logging/ZedLogging/ZedLog.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
constexpr int kGatherMilliseconds = 10;
}  // namespace

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

void ZedReaderThread::start(std::vector<Watched> watched) {
    if (thread_.joinable() || wakeFd_ < 0) {
        return;
    }
    for (const auto& one : watched) {
        if (one.fd < 0) {
            return;
        }
    }
    thread_ = std::thread([this, watched = std::move(watched)] { serve(watched); });
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

void ZedReaderThread::serve(const std::vector<Watched>& watched) {
    std::vector<pollfd> polled{{wakeFd_, POLLIN, 0}};
    for (const auto& one : watched) {
        polled.push_back({one.fd, one.events, 0});
    }
    for (;;) {
        if (poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            ZedLogError(kLogMask, ZedLogContextPlatform, "event reader stops: %s", strerror(errno));
            return;
        }
        if (polled[0].revents) {
            return;
        }
        // Changes come in bursts: reading a moment later takes many with one wake-up instead
        // of one each. A stop ends the wait at once. A changed mount table is not kept waiting:
        // a drain meanwhile would no longer see that it changed.
        bool tableChanged = false;
        for (std::size_t i = 1; i < polled.size(); ++i) {
            tableChanged = tableChanged || (polled[i].revents && (polled[i].events & POLLPRI));
        }
        if (!tableChanged && poll(polled.data(), 1, kGatherMilliseconds) > 0) {
            return;
        }
        for (std::size_t i = 1; i < polled.size(); ++i) {
            if (polled[i].revents) {
                watched[i - 1].ready();
            }
        }
    }
}

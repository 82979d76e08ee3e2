#include "platform/events/ZedMountWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "Categories/ZedPathComponents.h"
#include "platform/events/ZedReadUntilEmpty.h"

ZedMountWatch::ZedMountWatch() : fd_(open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}

ZedMountWatch::~ZedMountWatch() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool ZedMountWatch::changed() const {
    pollfd table{fd_, POLLPRI, 0};
    return fd_ >= 0 && poll(&table, 1, 0) > 0;
}

std::vector<ZedMountTable::Mount> ZedMountWatch::read() const {
    std::string text;
    if (fd_ >= 0 && lseek(fd_, 0, SEEK_SET) == 0) {
        char chunk[8192];
        ZedReadUntilEmpty(fd_, chunk, sizeof chunk, [&](const char* bytes, std::size_t length) {
            text.append(bytes, length);
        });
    }
    return ZedMountTable::parse(text);
}

std::set<std::string> ZedMountWatch::inside(const std::vector<ZedMountTable::Mount>& mounts,
                                            const std::string& root) {
    std::set<std::string> points;
    for (const auto& mount : mounts) {
        if (ZedPathComponents::isBelow(root, mount.mountPoint)) {
            points.insert(mount.mountPoint);
        }
    }
    return points;
}

#include "DDFileLogger.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "DDWriteFully.h"

DDFileLogger::DDFileLogger(std::shared_ptr<DDLogFileManagerDefault> manager)
    : manager_(std::move(manager)) {}

DDFileLogger::~DDFileLogger() {
    closeCurrentFile();
}

void DDFileLogger::flush() {
    if (fd_ >= 0 && !buffer_.empty()) {
        DDWriteFully(fd_, buffer_);
    }
    buffer_.clear();
}

void DDFileLogger::closeCurrentFile() {
    flush();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool DDFileLogger::isTooOld() const {
    return rollingFrequency.count() > 0 &&
           std::chrono::system_clock::now() - created_ > rollingFrequency;
}

bool DDFileLogger::reuseNewestFile() {
    const auto paths = manager_->sortedLogFilePaths();
    if (paths.empty()) {
        return false;
    }
    const int fd = ::open(paths.front().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    ::fstat(fd, &info);
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    created_ = DDLogFileManagerDefault::creationTime(paths.front());
    if ((maximumFileSize > 0 && size_ > maximumFileSize) || isTooOld()) {
        closeCurrentFile();
        return false;
    }
    return true;
}

bool DDFileLogger::openNewFile() {
    const auto path = manager_->createNewLogFile();
    if (!path) {
        return false;
    }
    fd_ = ::open(path->c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    size_ = 0;
    created_ = std::chrono::system_clock::now();
    return fd_ >= 0;
}

void DDFileLogger::rollLogFile() {
    closeCurrentFile();
    mayReuseNewestFile_ = false;
}

void DDFileLogger::logMessage(const DDLogMessage& message) {
    auto line = lineFor(message);
    if (!line) {
        return;
    }
    if (fd_ >= 0 && isTooOld()) {
        rollLogFile();
    }
    if (fd_ < 0 && !(mayReuseNewestFile_ && reuseNewestFile()) && !openNewFile()) {
        return;  // nowhere to write: the line is lost, the process carries on
    }
    buffer_ += *line;
    buffer_ += '\n';
    size_ += line->size() + 1;
    if (buffer_.size() >= kBufferLimit) {
        flush();
    }
    if (maximumFileSize > 0 && size_ > maximumFileSize) {
        rollLogFile();
    }
}

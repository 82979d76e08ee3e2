#include "DDLogFileManagerDefault.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "DDLogTime.h"

namespace fs = std::filesystem;

namespace {

std::string nonEmptyEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

DDLogFileManagerDefault::DDLogFileManagerDefault()
    : DDLogFileManagerDefault(defaultLogsDirectory()) {}

DDLogFileManagerDefault::DDLogFileManagerDefault(fs::path logsDirectory)
    : logsDirectory_(std::move(logsDirectory)), processName_(program_invocation_short_name) {}

fs::path DDLogFileManagerDefault::defaultLogsDirectory() {
    const std::string processName = program_invocation_short_name;
    if (const std::string state = nonEmptyEnvironment("XDG_STATE_HOME"); !state.empty()) {
        return fs::path(state) / processName;
    }
    if (const std::string home = nonEmptyEnvironment("HOME"); !home.empty()) {
        return fs::path(home) / ".local" / "state" / processName;
    }
    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    return (error ? fs::path("/tmp") : temporary) / processName;
}

bool DDLogFileManagerDefault::isLogFile(const std::string& fileName) const {
    return fileName.rfind(processName_ + " ", 0) == 0 && endsWith(fileName, ".log");
}

std::chrono::system_clock::time_point DDLogFileManagerDefault::creationTime(const fs::path& path) {
    struct statx info {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) != 0) {
        return std::chrono::system_clock::now();
    }
    const auto& stamp = (info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_mtime;
    return std::chrono::system_clock::time_point(std::chrono::seconds(stamp.tv_sec) +
                                                 std::chrono::nanoseconds(stamp.tv_nsec));
}

std::vector<fs::path> DDLogFileManagerDefault::sortedLogFilePaths() const {
    struct Entry {
        fs::path path;
        std::chrono::system_clock::time_point created;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(logsDirectory_, error)) {
        std::error_code itemError;
        if (!item.is_regular_file(itemError) || !isLogFile(item.path().filename().string())) {
            continue;
        }
        entries.push_back({item.path(), creationTime(item.path())});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.created != b.created ? a.created > b.created : a.path > b.path;
    });
    std::vector<fs::path> paths;
    for (auto& entry : entries) {
        paths.push_back(std::move(entry.path));
    }
    return paths;
}

bool DDLogFileManagerDefault::ensureLogsDirectory() const {
    std::error_code error;
    fs::create_directories(logsDirectory_, error);
    return fs::is_directory(logsDirectory_, error);
}

std::optional<fs::path> DDLogFileManagerDefault::createNewLogFile() {
    if (!ensureLogsDirectory()) {
        return std::nullopt;
    }
    const std::string stem =
        processName_ + " " +
        DDLogTime::format(std::chrono::system_clock::now(), "%Y-%m-%d--%H-%M-%S-%Q");
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string suffix = attempt == 0 ? "" : " " + std::to_string(attempt);
        const fs::path path = logsDirectory_ / (stem + suffix + ".log");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            deleteOldLogFiles();
            return path;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void DDLogFileManagerDefault::deleteOldLogFiles() {
    if (maximumNumberOfLogFiles_ == 0) {
        return;  // no limit
    }
    const std::vector<fs::path> paths = sortedLogFilePaths();
    for (std::size_t i = maximumNumberOfLogFiles_; i < paths.size(); ++i) {
        std::error_code error;
        fs::remove(paths[i], error);
    }
}

#include "Logging/ZedLogging/ZedLogFileManager.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "Logging/ZedLogging/ZedLog.h"
#include "Logging/ZedLogging/ZedSystemConsole.h"

namespace fs = std::filesystem;

namespace {
constexpr int kLogMask = ZedLogMaskDebug;
constexpr int kMaximumAttempts = 100;
}  // namespace

ZedLogFileManager::ZedLogFileManager() : _prefix(kDefaultPrefix) {}

ZedLogFileManager::ZedLogFileManager(fs::path logsDirectory)
    : DDLogFileManagerDefault(std::move(logsDirectory)), _prefix(kDefaultPrefix) {}

ZedLogFileManager::ZedLogFileManager(fs::path logsDirectory, const std::string& prefix)
    : DDLogFileManagerDefault(std::move(logsDirectory)), _prefix(prefix + "." + kDefaultPrefix) {}

std::shared_ptr<ZedLogFileManager> ZedLogFileManager::create(const char* logsDirectory,
                                                             const char* prefix) {
    if (!logsDirectory) {
        ZedLogError(kLogMask, ZedLogContextApp, "logsDirectory is nil");
        return nullptr;
    }
    if (!prefix) {
        ZedLogError(kLogMask, ZedLogContextApp, "prefix is nil");
        return nullptr;
    }
    return std::make_shared<ZedLogFileManager>(logsDirectory, prefix);
}

const std::string& ZedLogFileManager::numericSet() {
    static const std::string digits = "0123456789";
    return digits;
}

std::optional<unsigned long long> ZedLogFileManager::numberOf(const std::string& fileName) const {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.compare(0, dot, _prefix) != 0 ||
        dot != _prefix.size()) {
        return std::nullopt;
    }
    const std::string extension = fileName.substr(dot + 1);
    const bool digitsOnly =
        !extension.empty() && extension.find_first_not_of(numericSet()) == std::string::npos;
    // "0" is the only number that may start with a zero, so every file has one name.
    if (!digitsOnly || (extension[0] == '0' && extension != "0") || extension.size() > 19) {
        return std::nullopt;
    }
    return std::stoull(extension);
}

bool ZedLogFileManager::isLogFile(const std::string& fileName) const {
    return numberOf(fileName).has_value();
}

std::vector<fs::path> ZedLogFileManager::sortedLogFilePaths() const {
    std::vector<std::pair<unsigned long long, fs::path>> numbered;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(logsDirectory(), error)) {
        std::error_code itemError;
        if (!item.is_regular_file(itemError)) {
            continue;
        }
        if (const auto number = numberOf(item.path().filename().string())) {
            numbered.emplace_back(*number, item.path());
        }
    }
    std::sort(numbered.begin(), numbered.end());
    std::vector<fs::path> paths;
    for (auto& entry : numbered) {
        paths.push_back(std::move(entry.second));
    }
    return paths;
}

bool ZedLogFileManager::rollLogFile(const fs::path& path) const {
    const auto number = numberOf(path.filename().string());
    if (!number) {
        return false;
    }
    const fs::path target = path.parent_path() / (_prefix + "." + std::to_string(*number + 1));
    std::error_code error;
    if (fs::exists(target, error) && !rollLogFile(target)) {
        return false;
    }
    fs::rename(path, target, error);
    if (error) {
        ZedLogError(kLogMask, ZedLogContextApp, "Failed to move (%s) to (%s): %s", path.c_str(),
                    target.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

std::optional<fs::path> ZedLogFileManager::createNewLogFile() {
    // Bounded, unlike a plain "until it works": a folder that cannot be written would otherwise
    // keep the logging thread busy for ever.
    for (int attempt = 0; attempt < kMaximumAttempts; ++attempt) {
        if (!ensureLogsDirectory()) {
            break;
        }
        fs::path path = logsDirectory() / (_prefix + ".0");
        std::error_code error;
        if (fs::exists(path, error) && !rollLogFile(path)) {
            ZedSystemConsole::log(
                "Failed to roll log files (start file was %s). Using a random name instead.",
                path.c_str());
            path = logsDirectory() / (_prefix + "." + generateShortUUID());
        }
        if (fs::exists(path, error)) {
            continue;
        }
        ZedSystemConsole::log("Creating new log file: %s", path.filename().c_str());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            deleteOldLogFiles();
            return path;
        }
        if (errno != EEXIST) {
            ZedSystemConsole::log("Unable to create log file %s: %s", path.c_str(),
                                  std::strerror(errno));
            break;
        }
    }
    return std::nullopt;
}

std::string ZedLogFileManager::generateShortUUID() {
    static const char kHexDigits[] = "0123456789ABCDEF";
    std::random_device source;
    std::string text;
    for (int i = 0; i < 6; ++i) {
        text += kHexDigits[source() % 16];
    }
    return text;
}

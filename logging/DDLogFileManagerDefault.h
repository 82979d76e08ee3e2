#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Knows where log files live, which files in that folder are log files, how a new one is
// named, and deletes the oldest beyond the configured number.
class DDLogFileManagerDefault {
  public:
    static constexpr std::size_t kDefaultMaximumNumberOfLogFiles = 5;

    DDLogFileManagerDefault();  // logs in defaultLogsDirectory()
    explicit DDLogFileManagerDefault(std::filesystem::path logsDirectory);
    virtual ~DDLogFileManagerDefault() = default;

    // $XDG_STATE_HOME/<process name>, else ~/.local/state/<process name>, else (no home) a
    // folder of the process's name in the temporary directory.
    static std::filesystem::path defaultLogsDirectory();

    const std::filesystem::path& logsDirectory() const { return logsDirectory_; }

    std::size_t maximumNumberOfLogFiles() const { return maximumNumberOfLogFiles_; }
    void setMaximumNumberOfLogFiles(std::size_t count) { maximumNumberOfLogFiles_ = count; }

    virtual bool isLogFile(const std::string& fileName) const;

    // The file's birth time where the file system keeps one, else its last modification.
    static std::chrono::system_clock::time_point creationTime(const std::filesystem::path& path);

    // Every log file of the folder, newest (by creation) first.
    virtual std::vector<std::filesystem::path> sortedLogFilePaths() const;

    // Creates an empty new current log file and answers its path, or nothing when the folder
    // cannot be written. Deletes the files beyond the limit afterwards.
    virtual std::optional<std::filesystem::path> createNewLogFile();

    void deleteOldLogFiles();

  protected:
    bool ensureLogsDirectory() const;

  private:
    std::filesystem::path logsDirectory_;
    std::string processName_;
    std::size_t maximumNumberOfLogFiles_ = kDefaultMaximumNumberOfLogFiles;
};

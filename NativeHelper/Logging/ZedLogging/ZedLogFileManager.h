#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logging/DDLogFileManagerDefault.h"

// Numbered log files: the current one is "<prefix>.0", older ones "<prefix>.1", "<prefix>.2" and
// so on, a higher number being older. Making a new file rolls every numbered file up by one.
class ZedLogFileManager : public DDLogFileManagerDefault {
  public:
    static constexpr const char* kDefaultPrefix = "log";

    ZedLogFileManager();  // the default logs directory, prefix "log"
    explicit ZedLogFileManager(std::filesystem::path logsDirectory);
    // Files named "<prefix>.log.<n>".
    ZedLogFileManager(std::filesystem::path logsDirectory, const std::string& prefix);

    // The same from possibly missing arguments: logs which one is missing and answers null.
    static std::shared_ptr<ZedLogFileManager> create(const char* logsDirectory, const char* prefix);

    bool isLogFile(const std::string& fileName) const override;
    // Log files by number, "<prefix>.0" (the newest) first.
    std::vector<std::filesystem::path> sortedLogFilePaths() const override;
    std::optional<std::filesystem::path> createNewLogFile() override;

    // Renames a log file to the next number, first moving any file in the way the same way.
    bool rollLogFile(const std::filesystem::path& path) const;

    static std::string generateShortUUID();
    static const std::string& numericSet();

    const std::string& prefix() const { return _prefix; }

  private:
    std::optional<unsigned long long> numberOf(const std::string& fileName) const;

    std::string _prefix;
};

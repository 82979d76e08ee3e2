#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Dispatch/zed_dispatch_helpers.h"
#include "Logging/ZedLogging/ZedBatchedLogger.h"
#include "Logging/ZedLogging/ZedDevLogFormatter.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "Logging/ZedLogging/ZedLogFileManager.h"
#include "Logging/ZedLogging/ZedLogLevels.h"
#include "Logging/ZedLogging/ZedRestoreLogFormatter.h"
#include "Logging/ZedLogging/ZedSupportLogFormatter.h"
#include "include/vtnative.h"
#include "logging/DDFileLogger.h"
#include "tests/LogCapture.h"

namespace fs = std::filesystem;

namespace {

// 2026-03-04 17:06:07.089 UTC; the formatters print local time, so the tests run in UTC.
DDLogMessage sampleMessage() {
    setenv("TZ", "UTC", 1);
    tzset();
    DDLogMessage message;
    message.logLevel = 7;
    message.logFlag = 2;
    message.logContext = 10;
    message.logMsg = "disk is full";
    message.timestamp =
        std::chrono::system_clock::time_point(std::chrono::milliseconds(1772643967089));
    message.file = "/src/NativeHelper/VolumeEnumeration/ZedVolumeEnumerator.cpp";
    message.function = "fetchVolumes";
    message.lineNumber = 42;
    message.queueLabel = "com.zedcorp.vtFileWatcher.fileEventQueue.0x55d0c0ffee00";
    return message;
}

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char pattern[] = "/tmp/vtnative-logs-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TemporaryFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    const fs::path& path() const { return path_; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name) << text;
    }
    std::string read(const std::string& name) const {
        std::ifstream file(path_ / name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

  private:
    fs::path path_;
};

TEST(FormatterTest, DeveloperLine) {
    ZedDevLogFormatter formatter;
    auto message = sampleMessage();
    EXPECT_EQ(formatter.formatLogMessage(message),
              "E !!!!! 2026-03-04 17:06:07.089 - ZedVolumeEnumerator.cpp:42(fetchVolumes) - disk "
              "is full");
    message.logFlag = 16;
    EXPECT_EQ(formatter.formatLogMessage(message)->substr(0, 8), "I       ");
    message.logFlag = 64;
    EXPECT_EQ(formatter.formatLogMessage(message)->substr(0, 8), "? ????? ");
}

TEST(FormatterTest, SupportLine) {
    ZedSupportLogFormatter formatter;
    auto message = sampleMessage();
    EXPECT_EQ(formatter.formatLogMessage(message),
              "[2026-03-04 17:06:07.089+0000ERROR\tPLAT\tntQueue.0x55d0c0ffee00\t"
              "edVolumeEnumerator.cpp\tfetchVolumes                  ] disk is full");
    message.queueLabel.reset();
    message.threadName = "worker";
    message.logContext = 99;
    message.logFlag = 8;
    EXPECT_EQ(formatter.formatLogMessage(message),
              "[2026-03-04 17:06:07.089+0000NOTICE\t???\tworker                \t"
              "edVolumeEnumerator.cpp\tfetchVolumes                  ] disk is full");
    message.threadName.reset();
    EXPECT_EQ(formatter.formatLogMessage(message),
              "unable to format log message, no queueLabel or threadName");
}

TEST(FormatterTest, SupportFields) {
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("abcdef", 4), "cdef");
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("", 4), "-   ");
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("ab", 4), "ab  ");
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("abcd", 4), "abcd");
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("x\xC3\xA9y", 2), "\xC3\xA9y");
    EXPECT_EQ(ZedSupportLogFormatter::formatLogField("abc", 0), std::nullopt);
}

TEST(FormatterTest, RestoreLine) {
    ZedRestoreLogFormatter formatter;
    auto message = sampleMessage();
    EXPECT_EQ(formatter.formatLogMessage(message), "W 03/04/26 05:06PM disk is full");
    message.logLevel = 31;
    message.timestamp -= std::chrono::hours(12);
    EXPECT_EQ(formatter.formatLogMessage(message), "I 03/04/26 05:06AM disk is full");
    message.logLevel = 5;
    EXPECT_EQ(formatter.formatLogMessage(message)->substr(0, 6), "????? ");
}

TEST(LogLevelTest, SetLogLevelReplacesBothVariableMasks) {
    set_log_level(nullptr, LEVEL_WARN);
    EXPECT_EQ(ZedLogLevels::wrapperMask(), 4);
    EXPECT_EQ(ZedLogLevels::watcherMask() & 2, 0);  // errors are no longer emitted
    EXPECT_NE(ZedLogLevels::watcherMask() & 4, 0);  // warnings are
    set_log_level(nullptr, 31);
    EXPECT_EQ(ZedLogLevels::watcherMask(), 31);
}

TEST(LogPostTest, MaskedMessagesCarryTheirOriginAndTheQueueLabel) {
    LogCapture::shared().clear();
    auto queue = zed::dispatch_queue_create("test.post", ZedDispatchQueueKind::serial);
    queue->sync([] {
        ZedLogErrorIn("postFromQueue", ZedLogMaskWarning, ZedLogContextFile, "posted %d", 5);
        ZED_LOG_IN("postFromQueue", ZedLogMaskWarning, ZedLogFlagInfo, ZedLogContextFile,
                   "masked out");
    });
    const auto messages = LogCapture::shared().messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].logMsg, "posted 5");
    EXPECT_EQ(messages[0].logLevel, 7);
    EXPECT_EQ(messages[0].logFlag, 2);
    EXPECT_EQ(messages[0].logContext, 8);
    EXPECT_EQ(messages[0].queueLabel, std::optional<std::string>("test.post"));
    EXPECT_NE(std::string(messages[0].file).find("LoggingTests.cpp"), std::string::npos);
    EXPECT_STREQ(messages[0].function, "postFromQueue");
    EXPECT_GT(messages[0].machThreadID, 0);
}

TEST(LogFileManagerTest, WhichFilesAreLogFiles) {
    ZedLogFileManager manager("/tmp");
    for (const char* name : {"log.0", "log.1", "log.12"}) {
        EXPECT_TRUE(manager.isLogFile(name)) << name;
    }
    for (const char* name : {"log", "log.01", "log.txt", "log.", "log.1a", "xlog.1", "log.1.2"}) {
        EXPECT_FALSE(manager.isLogFile(name)) << name;
    }
    ZedLogFileManager backup("/tmp", "backup");
    EXPECT_EQ(backup.prefix(), "backup.log");
    EXPECT_TRUE(backup.isLogFile("backup.log.3"));
    EXPECT_FALSE(backup.isLogFile("log.3"));
}

TEST(LogFileManagerTest, MissingArgumentsAreRefused) {
    LogCapture::shared().clear();
    EXPECT_EQ(ZedLogFileManager::create(nullptr, "p"), nullptr);
    EXPECT_EQ(ZedLogFileManager::create("/tmp", nullptr), nullptr);
    EXPECT_NE(ZedLogFileManager::create("/tmp", "p"), nullptr);
    EXPECT_TRUE(LogCapture::shared().contains("logsDirectory is nil"));
    EXPECT_TRUE(LogCapture::shared().contains("prefix is nil"));
}

TEST(LogFileManagerTest, NewFileRollsEveryNumberedFileUpByOne) {
    TemporaryFolder folder;
    folder.write("log.0", "zero");
    folder.write("log.1", "one");
    folder.write("log.2", "two");
    folder.write("log.01", "stray");
    ZedLogFileManager manager(folder.path());
    manager.setMaximumNumberOfLogFiles(0);

    const auto created = manager.createNewLogFile();
    ASSERT_EQ(created, folder.path() / "log.0");
    EXPECT_EQ(folder.read("log.0"), "");
    EXPECT_EQ(folder.read("log.1"), "zero");
    EXPECT_EQ(folder.read("log.2"), "one");
    EXPECT_EQ(folder.read("log.3"), "two");
    EXPECT_EQ(folder.read("log.01"), "stray");
    EXPECT_EQ(manager.sortedLogFilePaths(),
              (std::vector<fs::path>{folder.path() / "log.0", folder.path() / "log.1",
                                     folder.path() / "log.2", folder.path() / "log.3"}));
}

TEST(LogFileManagerTest, RandomNameWhenTheCurrentFileCannotBeRolled) {
    LogCapture::shared().clear();
    TemporaryFolder folder;
    // A folder cannot be renamed onto the (dangling) link that stands where log.1 would go.
    fs::create_directory(folder.path() / "log.0");
    fs::create_symlink(folder.path() / "nowhere", folder.path() / "log.1");
    ZedLogFileManager manager(folder.path());

    const auto created = manager.createNewLogFile();
    ASSERT_TRUE(created);
    const std::string name = created->filename().string();
    EXPECT_EQ(name.size(), 10u) << name;
    EXPECT_EQ(name.rfind("log.", 0), 0u) << name;
    EXPECT_TRUE(fs::is_regular_file(*created));
    EXPECT_TRUE(fs::is_directory(folder.path() / "log.0"));
    bool moveFailureLogged = false;
    for (const auto& message : LogCapture::shared().messages()) {
        moveFailureLogged |= message.logMsg.rfind("Failed to move (", 0) == 0;
    }
    EXPECT_TRUE(moveFailureLogged);
}

TEST(LogFileManagerTest, UnwritableFolderGivesNoFileInsteadOfLooping) {
    TemporaryFolder folder;
    folder.write("occupied", "a file where the logs folder should be");
    ZedLogFileManager manager(folder.path() / "occupied");
    EXPECT_EQ(manager.createNewLogFile(), std::nullopt);
}

TEST(LogFileManagerTest, OldestFilesBeyondTheLimitAreDeleted) {
    TemporaryFolder folder;
    for (int i = 0; i < 5; ++i) {
        folder.write("log." + std::to_string(i), std::to_string(i));
    }
    ZedLogFileManager manager(folder.path());
    manager.setMaximumNumberOfLogFiles(3);
    manager.createNewLogFile();
    EXPECT_EQ(manager.sortedLogFilePaths().size(), 3u);
    EXPECT_EQ(folder.read("log.2"), "1");
    EXPECT_FALSE(fs::exists(folder.path() / "log.3"));
}

TEST(LogFileManagerTest, FileLoggerWritesToLogZeroAndRollsBySize) {
    TemporaryFolder folder;
    auto manager = std::make_shared<ZedLogFileManager>(folder.path());
    DDFileLogger logger(manager);
    logger.maximumFileSize = 10;
    DDLogMessage message;
    message.logMsg = "first line";
    logger.logMessage(message);
    message.logMsg = "second line";
    logger.logMessage(message);
    EXPECT_EQ(folder.read("log.1"), "first line\n");
    EXPECT_EQ(folder.read("log.0"), "second line\n");
}

TEST(LogFileManagerTest, ShortUUIDs) {
    const std::string id = ZedLogFileManager::generateShortUUID();
    EXPECT_EQ(id.size(), 6u);
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(ZedLogFileManager::numericSet(), "0123456789");
}

std::vector<std::string> batchesLogged() {
    std::vector<std::string> batches;
    for (const auto& message : LogCapture::shared().messages()) {
        if (message.logMsg.rfind("Messages from the last", 0) == 0) {
            batches.push_back(message.logMsg);
        }
    }
    return batches;
}

TEST(BatchedLoggerTest, MessagesWithinOneIntervalBecomeOneEntry) {
    LogCapture::shared().clear();
    auto logger = ZedBatchedLogger::create(200, 31, 16);
    ASSERT_TRUE(logger);
    logger->appendMessage("first %d", 1);
    logger->appendMessage("second");
    logger->appendMessage("third %s", "x");
    logger.reset();  // the pending batch keeps what it needs
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (batchesLogged().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(
        batchesLogged(),
        (std::vector<std::string>{"Messages from the last (200)ms:\nfirst 1\nsecond\nthird x\n"}));
}

TEST(BatchedLoggerTest, FlagOutsideTheLevelIsDroppedAndNullFormatLogged) {
    LogCapture::shared().clear();
    auto logger = ZedBatchedLogger::create(1, 3, 16);
    logger->appendMessage("dropped");
    const char* noFormat = nullptr;
    logger->appendMessage(noFormat);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(batchesLogged().empty());
    EXPECT_TRUE(LogCapture::shared().contains("nil format specified"));
}

}  // namespace

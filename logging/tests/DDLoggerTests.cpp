// The console and file loggers: line format, rolling by size and age, the file limit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "logging/DDFileLogger.h"
#include "logging/DDLog.h"
#include "logging/DDTTYLogger.h"

namespace fs = std::filesystem;

namespace {

DDLogMessage messageWithText(const std::string& text) {
    return DDLogMessage::fromCurrentThread(7, 4, 0, __FILE__, __func__, __LINE__, text);
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char pattern[] = "/tmp/vt-logging-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TemporaryFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

TEST(DDTTYLoggerTest, PlainLineCarriesDateProcessIdsAndTheMessage) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    DDTTYLogger console(pipeEnds[1]);
    DDLogMessage message = messageWithText("connected to 127.0.0.1 100%");
    console.logMessage(message);
    ::close(pipeEnds[1]);
    const std::string line = readAll(pipeEnds[0]);
    ::close(pipeEnds[0]);

    char ids[64];
    std::snprintf(ids, sizeof ids, "\\[%d:%lx\\] ", getpid(),
                  static_cast<unsigned long>(message.machThreadID));
    const std::regex shape(std::string(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d{3} )") +
                           program_invocation_short_name + ids +
                           "connected to 127\\.0\\.0\\.1 100%\n");
    EXPECT_TRUE(std::regex_match(line, shape)) << line;
}

TEST(DDTTYLoggerTest, FormatterLineReplacesThePlainLine) {
    struct Upper : DDLogFormatter {
        std::optional<std::string> formatLogMessage(const DDLogMessage& m) override {
            return "F:" + m.logMsg;
        }
    };
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    DDTTYLogger console(pipeEnds[1]);
    console.setLogFormatter(std::make_shared<Upper>());
    console.logMessage(messageWithText("x"));
    ::close(pipeEnds[1]);
    EXPECT_EQ(readAll(pipeEnds[0]), "F:x\n");
    ::close(pipeEnds[0]);
}

TEST(DDTTYLoggerTest, ClosedConsoleIsSurvived) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    signal(SIGPIPE, SIG_IGN);
    DDTTYLogger console(pipeEnds[1]);
    console.logMessage(messageWithText("nobody reads this"));
    ::close(pipeEnds[1]);
}

TEST(DDLogFileManagerDefaultTest, DefaultDirectoryFollowsXdgStateHome) {
    ::setenv("XDG_STATE_HOME", "/somewhere/state", 1);
    EXPECT_EQ(DDLogFileManagerDefault::defaultLogsDirectory(),
              fs::path("/somewhere/state") / program_invocation_short_name);
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DDLogFileManagerDefault::defaultLogsDirectory(),
              fs::path("/home/someone/.local/state") / program_invocation_short_name);
    ::unsetenv("HOME");
    EXPECT_EQ(DDLogFileManagerDefault::defaultLogsDirectory().parent_path(),
              fs::temp_directory_path());
}

TEST(DDLogFileManagerDefaultTest, OnlyItsOwnNamesAreLogFiles) {
    TemporaryFolder folder;
    DDLogFileManagerDefault manager(folder.path());
    const std::string name = program_invocation_short_name;
    EXPECT_TRUE(manager.isLogFile(name + " 2026-01-01--10-00-00-000.log"));
    EXPECT_FALSE(manager.isLogFile(name + " notes.txt"));
    EXPECT_FALSE(manager.isLogFile("other 2026-01-01.log"));
}

TEST(DDFileLoggerTest, RollsWhenTheFileGrowsPastItsLimit) {
    TemporaryFolder folder;
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder.path());
    DDFileLogger logger(manager);
    logger.maximumFileSize = 100;
    const std::string text(60, 'a');
    logger.logMessage(messageWithText(text));  // 61 bytes
    EXPECT_EQ(manager->sortedLogFilePaths().size(), 1u);
    logger.logMessage(messageWithText(text));  // 122 bytes: past the limit, rolled
    logger.logMessage(messageWithText("fresh"));
    logger.flush();
    const auto files = manager->sortedLogFilePaths();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(contentsOf(files[0]), "fresh\n");
    EXPECT_EQ(contentsOf(files[1]), text + "\n" + text + "\n");
}

TEST(DDFileLoggerTest, RollsWhenTheFileIsOlderThanTheFrequency) {
    TemporaryFolder folder;
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder.path());
    DDFileLogger logger(manager);
    logger.rollingFrequency = std::chrono::milliseconds(50);
    logger.logMessage(messageWithText("old"));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    logger.logMessage(messageWithText("new"));
    logger.flush();
    const auto files = manager->sortedLogFilePaths();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(contentsOf(files[0]), "new\n");
    EXPECT_EQ(contentsOf(files[1]), "old\n");
}

TEST(DDFileLoggerTest, KeepsAtMostFiveFilesDeletingTheOldest) {
    TemporaryFolder folder;
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder.path());
    DDFileLogger logger(manager);
    logger.maximumFileSize = 1;
    for (int i = 0; i < 9; ++i) {
        logger.logMessage(messageWithText("message " + std::to_string(i)));
    }
    const auto files = manager->sortedLogFilePaths();
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(contentsOf(files[0]), "message 8\n");
    EXPECT_EQ(contentsOf(files[4]), "message 4\n");
}

TEST(DDFileLoggerTest, ContinuesTheNewestFileOfAnEarlierRun) {
    TemporaryFolder folder;
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder.path());
    {
        DDFileLogger first(manager);
        first.logMessage(messageWithText("first run"));
    }
    DDFileLogger second(manager);
    second.logMessage(messageWithText("second run"));
    second.flush();
    const auto files = manager->sortedLogFilePaths();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(contentsOf(files[0]), "first run\nsecond run\n");
}

TEST(DDFileLoggerTest, HubWritesBufferedLinesOutWhenItsQueueRunsEmpty) {
    TemporaryFolder folder;
    auto manager = std::make_shared<DDLogFileManagerDefault>(folder.path());
    auto logger = std::make_shared<DDFileLogger>(manager);
    DDLog::addLogger(logger);
    for (int i = 0; i < 3; ++i) {
        DDLog::log(true, 7, 4, 0, __FILE__, __func__, __LINE__, "line " + std::to_string(i));
    }
    // Nobody flushes: the queue running empty is what writes the lines out.
    const std::string expected = "line 0\nline 1\nline 2\n";
    std::string written;
    for (int wait = 0; wait < 500 && written != expected; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto files = manager->sortedLogFilePaths();
        written = files.empty() ? "" : contentsOf(files[0]);
    }
    EXPECT_EQ(written, expected);
    DDLog::removeAllLoggers();
}

TEST(DDFileLoggerTest, UnwritableFolderLosesLinesWithoutFailing) {
    auto manager = std::make_shared<DDLogFileManagerDefault>("/proc/vt-no-such-folder");
    DDFileLogger logger(manager);
    logger.logMessage(messageWithText("lost"));
    EXPECT_TRUE(manager->sortedLogFilePaths().empty());
}

}  // namespace

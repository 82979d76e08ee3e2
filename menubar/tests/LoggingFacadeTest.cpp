// The client's logging facade: which levels reach the hub, how, and the information list.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>
#include <mutex>

#include "app/MasterControlProgram.h"
#include "app/VTLogger.h"
#include "app/VTLoggingObject.h"
#include "app/VTRepeatedLines.h"
#include "app/VTUtils.h"
#include "logging/DDLog.h"
#include "messaging/VTEndpoint.h"
#include "tests/TestSupport.h"

namespace {

class RecordingLogger : public DDLogger {
  public:
    void logMessage(const DDLogMessage& message) override {
        std::lock_guard lock(mutex_);
        records_.push_back(message);
    }
    std::vector<DDLogMessage> records() {
        DDLog::flushLog();
        std::lock_guard lock(mutex_);
        return records_;
    }

  private:
    std::mutex mutex_;
    std::vector<DDLogMessage> records_;
};

class LoggingFacadeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VTLogger::initDependencies();
        DDLog::addLogger(recorder_);
    }
    void TearDown() override {
        DDLog::flushLog();
        DDLog::removeAllLoggers();
    }
    std::shared_ptr<RecordingLogger> recorder_ = std::make_shared<RecordingLogger>();
};

class FirstModel : public VTLoggingObject {
    Q_OBJECT
};
class SecondModel : public VTLoggingObject {
    Q_OBJECT
};

TEST_F(LoggingFacadeTest, OnlySevereWarningAndInfoReachTheHubWithTheirFlags) {
    VTLogger* log = VTLogger::sharedLoggerForClass("LoggingFacadeTest");
    log->severe("s");
    log->warning("w");
    log->info("i");
    log->config("c");
    log->fine("f");
    log->finer("fr");
    log->finest("ft");
    log->logp(VTLogger::Fine, "fine again", "method");
    const auto records = recorder_->records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].logMsg, "s");
    EXPECT_EQ(records[0].logFlag, 1);
    EXPECT_EQ(records[1].logFlag, 2);
    EXPECT_EQ(records[2].logFlag, 4);
    for (const auto& record : records) {
        EXPECT_EQ(record.logLevel, 7);
        EXPECT_EQ(record.logContext, 0);
    }
}

TEST_F(LoggingFacadeTest, TextBuildersRunOnlyForRecordedLevels) {
    using Builder = std::function<QString()>;
    using Call = void (*)(const VTLogger&, const Builder&);
    struct Case {
        const char* level;
        Call call;
        bool recorded;
    };
    const Case cases[] = {
        {"severe", [](const VTLogger& log, const Builder& build) { log.severe(build); }, true},
        {"warning", [](const VTLogger& log, const Builder& build) { log.warning(build); }, true},
        {"info", [](const VTLogger& log, const Builder& build) { log.info(build); }, true},
        {"config", [](const VTLogger& log, const Builder& build) { log.config(build); }, false},
        {"fine", [](const VTLogger& log, const Builder& build) { log.fine(build); }, false},
        {"finer", [](const VTLogger& log, const Builder& build) { log.finer(build); }, false},
        {"finest", [](const VTLogger& log, const Builder& build) { log.finest(build); }, false},
    };
    const VTLogger& log = *VTLogger::sharedLoggerForClass("LoggingFacadeTest");
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        int builds = 0;
        c.call(log, [&] {
            ++builds;
            return QStringLiteral("built at %1").arg(c.level);
        });
        EXPECT_EQ(builds, c.recorded ? 1 : 0) << c.level;
        if (c.recorded) {
            expected.push_back(std::string("built at ") + c.level);
        }
    }
    std::vector<std::string> logged;
    for (const auto& record : recorder_->records()) {
        logged.push_back(record.logMsg);
    }
    EXPECT_EQ(logged, expected);
}

TEST_F(LoggingFacadeTest, SevereIsDeliveredBeforeThePostReturns) {
    struct Counter : DDLogger {
        std::atomic<int> seen{0};
        void logMessage(const DDLogMessage&) override { ++seen; }
    };
    auto counter = std::make_shared<Counter>();
    DDLog::addLogger(counter);
    VTLogger::lumberLog("one", VTLogger::Info);
    VTLogger::lumberLog("two", VTLogger::Severe);
    EXPECT_EQ(counter->seen, 2);
}

TEST_F(LoggingFacadeTest, MessagesAreNeverReadAsFormats) {
    VTLogger* log = VTLogger::sharedLoggerForClass("LoggingFacadeTest");
    log->info("100% done, %s %d %n");
    log->warningWithFormat("%s at %d%%", "half", 50);
    zed_log(VTLogger::Severe, "AnyClass", "anyMethod", "%@ stays");
    const auto records = recorder_->records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].logMsg, "100% done, %s %d %n");
    EXPECT_EQ(records[1].logMsg, "half at 50%");
    EXPECT_EQ(records[2].logMsg, "%@ stays");
}

TEST_F(LoggingFacadeTest, EnteringAndExitingLogAtTheDefaultLevel) {
    VTLogger* log = VTLogger::sharedLoggerForClass("TracedClass");
    EXPECT_EQ(log->defaultLevel(), VTLogger::Config);
    log->entering("quietly");
    log->setDefaultLevel(VTLogger::Info);
    log->entering("run");
    log->exiting("run");
    log->exitingWithResult("run", "42");
    log->setDefaultLevel(VTLogger::Config);
    const auto records = recorder_->records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].logMsg, "Entering method run");
    EXPECT_EQ(records[1].logMsg, "Exiting method run");
    EXPECT_EQ(records[2].logMsg, "Exiting method run with result 42");
}

TEST_F(LoggingFacadeTest, ObjectsOfOneClassShareOneLogger) {
    FirstModel a;
    FirstModel b;
    SecondModel c;
    EXPECT_EQ(a.log(), b.log());
    EXPECT_NE(a.log(), c.log());
    EXPECT_EQ(a.log()->name(), "FirstModel");
    EXPECT_EQ(c.log()->forClass(), "SecondModel");
}

// A filter on a clock of the test's own, installed for the loggers while it lives.
struct InstalledRepeatedLines {
    qint64 now = 0;
    VTRepeatedLines lines{[this] { return now; }};
    InstalledRepeatedLines() { VTRepeatedLines::install(&lines); }
    ~InstalledRepeatedLines() { VTRepeatedLines::install(nullptr); }
};

TEST_F(LoggingFacadeTest, RepeatedLinesAreHeldBackSummedAndToldAgainAfterTenMinutes) {
    constexpr qint64 kMinute = 60 * 1000;
    // One occurrence at the given time (ms since the start), or, with no message, the end of
    // the outage.
    struct Step {
        qint64 at;
        int level;
        const char* key;
        const char* message;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        QStringList logged;
    };
    const Case cases[] = {
        {"repeats are held; the failures among them are summed ten minutes after the first",
         {{0, VTLogger::Warning, "refused", "refused"},
          {3000, VTLogger::Warning, "refused", "refused"},
          {3000, VTLogger::Info, "looking", "looking"},
          {6000, VTLogger::Info, "looking", "looking"},
          {6000, VTLogger::Severe, "no token", "no\ntoken"},
          {9000, VTLogger::Severe, "no token", "no\ntoken"},
          {10 * kMinute + 2999, VTLogger::Warning, "refused", "refused"},
          {10 * kMinute + 3000, VTLogger::Warning, "refused", "refused"},
          {10 * kMinute + 6000, VTLogger::Warning, "refused", "refused"}},
         {"refused", "looking", "no\ntoken",
          "Held back in the last 10 minutes: \"refused\" 3 times; \"no token\" once."}},
        {"a distinct failure is told at once, also in the middle of an outage",
         {{0, VTLogger::Warning, "a", "a"},
          {1000, VTLogger::Warning, "a", "a"},
          {2000, VTLogger::Warning, "b", "b"}},
         {"a", "b"}},
        {"a key names a line whose text varies; the summary has its latest text",
         {{0, VTLogger::Warning, "unable", "after 3"},
          {3000, VTLogger::Warning, "unable", "after 4"},
          {10 * kMinute + 3000, VTLogger::Warning, "unable", "after 203"}},
         {"after 3", "Held back in the last 10 minutes: \"after 203\" 2 times."}},
        {"after an outage, a line told less than ten minutes ago is held, an older one told",
         {{0, VTLogger::Warning, "a", "a"},
          {1000, VTLogger::Warning, "a", "a"},
          {2000, 0, nullptr, nullptr},
          {5 * kMinute, VTLogger::Info, "a", "a"},
          {6 * kMinute, 0, nullptr, nullptr},
          {10 * kMinute, VTLogger::Warning, "a", "a"},
          {10 * kMinute + 1000, VTLogger::Warning, "a", "a"}},
         {"a", "a"}},
    };
    const VTLogger& log = *VTLogger::sharedLoggerForClass("LoggingFacadeTest");
    for (const Case& c : cases) {
        InstalledRepeatedLines installed;
        vttest::LogRecorder recorder;
        for (const Step& step : c.steps) {
            installed.now = step.at;
            if (!step.message) {
                installed.lines.outageEnded();
            } else {
                log.repeating(step.level, step.key, step.message);
            }
        }
        EXPECT_EQ(recorder.messages(), c.logged) << c.name;
    }
}

TEST_F(LoggingFacadeTest, ADayWithoutTheServiceWritesFewerThanTwoHundredLines) {
    // What each 3-second retry repeats: the endpoint settled twice (the connection is made,
    // then opened), the refused connection, the failed check.
    InstalledRepeatedLines installed;
    vttest::LogRecorder recorder;
    vttest::EndpointFolder noEndpointFile;
    MasterControlProgram mcp(MasterControlProgram::Collaborators{});
    const VTLogger& connectionLog = *VTLogger::sharedLoggerForClass("VTConnectionNew");
    constexpr qint64 kDay = 24LL * 60 * 60 * 1000;
    qint64 attempts = 0;
    for (installed.now = 0; installed.now < kDay; installed.now += 3000) {
        VTEndpoint::settle({"VaultorMenuBar"}, connectionLog);
        VTEndpoint::settle({"VaultorMenuBar"}, connectionLog);
        connectionLog.repeating(VTLogger::Warning,
                                "Stream error occurred: Error code: 0\nError description: "
                                "Connection refused");
        mcp.onUnableToConnect(++attempts);
    }
    const QStringList lines = recorder.messages();
    EXPECT_LT(lines.size(), 200);
    // The story is told once, in full, at the start.
    for (const QString& first :
         {QStringLiteral("Did not find VTS port in .ui_info. Using default."),
          QStringLiteral("connection attempt made."),
          QStringLiteral("Unable to connect to VTS after 3 attempts")}) {
        EXPECT_EQ(lines.count(first), 1) << first.toStdString();
    }
    ASSERT_FALSE(lines.isEmpty());
    // And the failures that went on are summed up every ten minutes.
    EXPECT_TRUE(lines.last().startsWith("Held back in the last 10 minutes: "));
    EXPECT_TRUE(lines.last().contains("\"Unable to connect to VTS after "));
    EXPECT_TRUE(lines.last().contains(QRegularExpression("Connection refused\" [0-9]+ times")))
        << lines.last().toStdString();
}

TEST(VTUtilsInfoTest, ReadersGiveStoredBooleanAndIntegerReadings) {
    const QVariantMap original = VTUtils::bundleInfoDictionary();
    VTUtils::overrideBundleInfoDictionary({{"text", "30"},
                                           {"number", 12},
                                           {"yes", "YES"},
                                           {"no", "NO"},
                                           {"flag", true},
                                           {"padded", "  -7 apples"},
                                           {"word", "apples"}});
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("text"), 30);
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("number"), 12);
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("padded"), -7);
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("word"), 0);
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("absent"), 0);
    EXPECT_EQ(VTUtils::integerFromDefaultPlist("flag"), 1);
    EXPECT_TRUE(VTUtils::boolFromDefaultPlist("yes"));
    EXPECT_TRUE(VTUtils::boolFromDefaultPlist("flag"));
    EXPECT_TRUE(VTUtils::boolFromDefaultPlist("text"));
    EXPECT_FALSE(VTUtils::boolFromDefaultPlist("no"));
    EXPECT_FALSE(VTUtils::boolFromDefaultPlist("absent"));
    EXPECT_EQ(VTUtils::stringFromDefaultPlist("number"), QVariant(12));
    EXPECT_FALSE(VTUtils::stringFromDefaultPlist("absent").isValid());
    VTUtils::overrideBundleInfoDictionary(original);
}

TEST(VTUtilsInfoTest, LenientIntegerReadingSaturatesAndStopsAtTheFirstNonDigit) {
    EXPECT_EQ(VTUtils::integerValue("4242,token"), 4242);
    EXPECT_EQ(VTUtils::integerValue("\t+15x"), 15);
    EXPECT_EQ(VTUtils::integerValue("99999999999999999999"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(VTUtils::integerValue("-99999999999999999999"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(VTUtils::integerValue("-9223372036854775808"), std::numeric_limits<qint64>::min());
    EXPECT_EQ(VTUtils::integerValue(""), 0);
    EXPECT_FALSE(VTUtils::boolValue(QString("000")));
    EXPECT_TRUE(VTUtils::boolValue(QString(" 007")));
    EXPECT_TRUE(VTUtils::boolValue(QString("true")));
}

TEST(VTUtilsInfoTest, BuiltInInformationListIsCompiledIn) {
    EXPECT_TRUE(VTUtils::stringFromDefaultPlist("VTHost").isValid());
    EXPECT_GT(VTUtils::integerFromDefaultPlist("VTPort"), 0);
}

}  // namespace

#include "LoggingFacadeTest.moc"

// The client's logging facade: which levels reach the hub, how, and the information list.
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include "app/VTLogger.h"
#include "app/VTLoggingObject.h"
#include "app/VTUtils.h"
#include "logging/DDLog.h"

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

// The model at the edges of the service's numbers: times at the ends of the 64-bit range,
// doubles beyond it, sums that would overflow, identities sent as text, and derived values
// that must follow their inputs back down.
#include <gtest/gtest.h>

#include <limits>

#include "app/VTLogger.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "model/VTDestinationStats.h"
#include "model/VTModelUtils.h"
#include "model/VTVaultorState.h"
#include "tests/ModelTestSupport.h"
#include "tests/fixtures/model/ModelFixtures.h"

using namespace ModelTestSupport;

namespace {

constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
constexpr qint64 kLowest = std::numeric_limits<qint64>::min();

class ModelEdges : public ::testing::Test {
  protected:
    void SetUp() override {
        VTLogger::initDependencies();
        DDLog::addLogger(recorder);
    }
    void TearDown() override {
        DDLog::flushLog();
        DDLog::removeAllLoggers();
        flushDeferredDeletes();
    }
    void applyAppState(const QByteArray& json) { message<AppStateMessage>(json)->applyTo(state); }
    void applyStats(const QByteArray& json) { message<StatsMessage>(json)->applyTo(state); }
    VTDestination* destination(qint64 guid) {
        return qobject_cast<VTDestination*>(state.computerForGUID(guid));
    }

    std::shared_ptr<WarningRecorder> recorder = std::make_shared<WarningRecorder>();
    TemporaryUserDefaults defaults;
    VTVaultorState state{defaults.get()};
};

// A destination dictionary for destination 2001 with the given set dictionaries.
QJsonObject destinationDict(const QList<QJsonObject>& sets) {
    QJsonObject dict = json(R"({"guid": 2001, "connected": true})");
    for (const QJsonObject& set : sets) {
        dict.insert(set.value(QStringLiteral("setId")).toVariant().toString(), set);
    }
    return dict;
}

}  // namespace

TEST_F(ModelEdges, ResumeTimesAtTheEndsOfTheRangeNeverHoldThePause) {
    const qint64 inOneHour = (VTModelUtils::currentTimeInSeconds() + 3600) * 1000;
    struct Case {
        QByteArray resumeSystemTime;
        bool paused;
        qint64 stored;
    };
    // The largest value is "no time" (it would read "resuming in 106751970371 days" and never
    // end); the lowest lies in the past, and subtracting the clock from it would overflow.
    const Case cases[] = {
        {QByteArray::number(inOneHour), true, inOneHour},
        {"9223372036854775807", false, kLargest},
        {"9223372036854775807.0", false, kLargest},
        {"1e19", false, kLargest},
        {"-9223372036854775808", false, kLowest},
        {"-1e19", false, kLowest},
        {"-1", false, -1},
    };
    for (const Case& c : cases) {
        applyStats(R"({"resumeSystemTime": )" + c.resumeSystemTime + "}");
        EXPECT_EQ(state.isPaused(), c.paused) << c.resumeSystemTime.constData();
        EXPECT_EQ(state.resumeSystemTime(), c.stored) << c.resumeSystemTime.constData();
    }
    // Said once for each value the service holds, not on every poll.
    applyStats(R"({"resumeSystemTime": 9223372036854775807})");
    applyStats(R"({"resumeSystemTime": 9223372036854775807})");
    EXPECT_EQ(recorder->countContaining("is the service's \"no time\": not paused"), 2);

    // The legacy summary holds its time as a double: the largest value arrives as 2^63.
    state.updateFromBackupStatsSummary(
        message<BackupStatsSummaryMessage>("0|0|0|9223372036854775807|2|0|0|0|0|0|0|0|0|0")
            ->stats());
    EXPECT_FALSE(state.isPaused());
    EXPECT_EQ(state.resumeSystemTime(), kLargest);
}

TEST_F(ModelEdges, DoublesBeyondTheRangeAreRefusedAsIdentitiesAndHeldAsNumbers) {
    applyAppState(R"({
      "sets": {"a": {"id": 11, "priority": 1e19, "destinations": [2001, 1e19, 20.5]},
               "b": {"id": 1e19}, "c": {"id": -1e300}},
      "computers": {"c2001": {"guid": 2001, "target": true},
                    "c3001": {"guid": 3001, "source": true},
                    "big": {"guid": 1e19, "target": true, "source": true},
                    "half": {"guid": 20.5, "source": true}},
      "OutboundStats": {
        "d2001": {"guid": 2001, "connected": true, "remoteArchiveSize": 1e300,
                  "11": {"setId": 11, "numRemainingBytes": 1e19, "numFilesScanned": -1e19,
                         "lastBackupTime": 1e300, "resumeTime": 1e19, "nextBackupTime": 1e19,
                         "estimatedTimeRemainingInSec": 1e19},
                  "big": {"setId": 1e19, "numRemainingBytes": 5}},
        "big": {"guid": 1e19, "connected": true, "11": {"setId": 11}}},
      "InboundStats": {"s3001": {"guid": 3001, "archiveSize": -1e300},
                       "big": {"guid": 1e19, "connected": true}}
    })");
    ASSERT_EQ(state.sets().size(), 1);
    EXPECT_EQ(state.sets().first()->priority(), kLargest);
    EXPECT_EQ(state.sets().first()->destinationGUIDs(), QList<qint64>{2001});
    EXPECT_EQ(state.destinations().size(), 1);
    ASSERT_EQ(state.sources().size(), 1);
    EXPECT_EQ(recorder->countContaining("Ignoring a backup set without a usable \"id\""), 2);
    EXPECT_EQ(recorder->countContaining("Ignoring a computer without a usable \"guid\""), 2);
    EXPECT_EQ(recorder->countContaining("Ignoring set statistics without a usable \"setId\""), 1);

    VTDestinationStats* stats = destination(2001)->stats();
    ASSERT_EQ(stats->backupSetsStats().size(), 1);
    const VTBackupSetStats* set = stats->backupSetsStats().first();
    EXPECT_EQ(set->numRemainingBytes(), kLargest);
    EXPECT_EQ(set->numFilesScanned(), kLowest);
    EXPECT_EQ(set->lastBackupTime(), kLargest);
    EXPECT_EQ(set->resumeTime(), kLargest);
    EXPECT_EQ(stats->remoteArchiveSize(), kLargest);
    EXPECT_EQ(stats->numRemainingBytes(), kLargest);
    EXPECT_EQ(stats->estimatedTimeRemainingInSec(), kLargest);
    // Times at the largest value are "none" in the destination's aggregates.
    EXPECT_EQ(stats->resumeTime(), 0);
    EXPECT_EQ(stats->nextBackupTime(), 0);
    EXPECT_EQ(stats->lastBackupTime(), 0);
    EXPECT_EQ(state.sources().first()->stats()->archiveSize(), kLowest);
}

TEST_F(ModelEdges, DestinationTotalsSaturateAndSkipMissingEstimates) {
    struct Case {
        const char* key;
        QJsonValue first;
        QJsonValue second;
        const char* property;
        qint64 total;
    };
    const Case cases[] = {
        {"numFilesScanned", 5, 7, "numFilesScanned", 12},
        {"numRemainingBytes", kLargest, 1, "numRemainingBytes", kLargest},
        {"numBytesScanned", kLargest, kLargest, "numBytesScanned", kLargest},
        {"numRemainingFiles", kLowest, -1, "numRemainingFiles", kLowest},
        // -1 is "no estimate": it neither takes a second off nor counts as one.
        {"estimatedTimeRemainingInSec", 60, -1, "estimatedTimeRemainingInSec", 60},
        {"estimatedTimeRemainingInSec", -1, -1, "estimatedTimeRemainingInSec", 0},
        {"estimatedTimeRemainingInSec", kLargest, 60, "estimatedTimeRemainingInSec", kLargest},
    };
    for (const Case& c : cases) {
        VTDestinationStats destination(2001);
        QJsonObject first = json(R"({"setId": 1})");
        QJsonObject second = json(R"({"setId": 2})");
        first.insert(QLatin1String(c.key), c.first);
        second.insert(QLatin1String(c.key), c.second);
        destination.updatePropertiesFromDict(destinationDict({first, second}));
        EXPECT_EQ(destination.property(c.property).toLongLong(), c.total)
            << c.key << " " << c.first.toDouble() << " + " << c.second.toDouble();
    }
    // A set that has never sent an estimate holds -1 as well.
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        {json(R"({"setId": 1, "estimatedTimeRemainingInSec": 600})"), json(R"({"setId": 2})")}));
    EXPECT_EQ(destination.estimatedTimeRemainingInSec(), 600);
}

TEST_F(ModelEdges, TextGUIDsNameTheSameComputersInStatistics) {
    applyAppState(R"({
      "sets": {"a": {"id": 11, "destinations": ["2001"], "isPathSetEmpty": false}},
      "computers": {"c2001": {"guid": "2001", "target": true},
                    "c3001": {"guid": "3001", "source": true}},
      "OutboundStats": {"d2001": {"guid": "2001", "connected": true,
                                  "11": {"setId": "11", "numRemainingFiles": 4}}},
      "InboundStats": {"s3001": {"guid": "3001", "connected": true, "archiveSize": 9}}
    })");
    ASSERT_NE(destination(2001), nullptr);
    ASSERT_EQ(state.sources().size(), 1);
    EXPECT_EQ(state.sets().first()->destinationGUIDs(), QList<qint64>{2001});
    EXPECT_TRUE(destination(2001)->stats()->isConnected());
    EXPECT_EQ(destination(2001)->stats()->numRemainingFiles(), 4);
    EXPECT_EQ(state.sources().first()->stats()->archiveSize(), 9);

    applyStats(R"({"OutboundStats": {"d": {"guid": "2001", "11": {"setId": 11,
                                                                   "numRemainingFiles": 2}}},
                   "InboundStats": {"s": {"guid": "3001", "archiveSize": 10}}})");
    EXPECT_EQ(destination(2001)->stats()->numRemainingFiles(), 2);
    EXPECT_EQ(state.sources().first()->stats()->archiveSize(), 10);
}

TEST_F(ModelEdges, HasSourcesIsRightAgainAfterAReconnect) {
    state.setIsConnected(true);
    applyAppState(ModelFixtures::kAppState);
    ASSERT_TRUE(state.hasSources());
    state.setIsConnected(false);
    EXPECT_FALSE(state.hasSources());  // the flags reset on the loss; the sources stay
    ASSERT_EQ(state.sources().size(), 2);

    state.setIsConnected(true);
    NotificationCounter hasSources(&state, "hasSources");
    applyAppState(ModelFixtures::kAppState);
    EXPECT_TRUE(state.hasSources());
    applyAppState(ModelFixtures::kAppState);
    EXPECT_EQ(hasSources.values(), QVariantList{true});  // announced once, on the change
}

TEST_F(ModelEdges, ASetsStatusFollowsItsRatioBackDown) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        {json(R"({"setId": 1, "status": "SAFE", "completedRatio": 1, "numFilesScanned": 5})")}));
    const VTBackupSetStats* set = destination.backupSetsStats().first();
    ASSERT_EQ(set->status(), VTBackupStatusComplete);
    ASSERT_EQ(destination.computerStatus(), VTComputerStatusComplete);

    // New files: the ratio falls and the service does not repeat the status.
    destination.updatePropertiesFromDict(
        destinationDict({json(R"({"setId": 1, "completedRatio": 0.8})")}));
    EXPECT_EQ(set->status(), VTBackupStatusSafe);
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusSafe);

    destination.updatePropertiesFromDict(
        destinationDict({json(R"({"setId": 1, "completedRatio": 1})")}));
    EXPECT_EQ(set->status(), VTBackupStatusComplete);
    destination.updatePropertiesFromDict(
        destinationDict({json(R"({"setId": 1, "numFilesScanned": 0})")}));
    EXPECT_EQ(set->status(), VTBackupStatusSafe);
}

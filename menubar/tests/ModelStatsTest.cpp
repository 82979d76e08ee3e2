// Statistics of backup sets, sources and destinations: derived status, completion and the
// destination's aggregates.
#include <gtest/gtest.h>

#include "model/VTBackupSetStats.h"
#include "model/VTDestinationStats.h"
#include "model/VTSourceStats.h"
#include "tests/ModelTestSupport.h"

using namespace ModelTestSupport;

namespace {

// A destination dictionary holding the given set dictionaries under their set IDs.
QJsonObject destinationDict(const QJsonObject& own, const QList<QJsonObject>& sets) {
    QJsonObject dict = own;
    dict.insert(QStringLiteral("guid"), 2001);
    for (const QJsonObject& set : sets) {
        dict.insert(set.value(QStringLiteral("setId")).toVariant().toString(), set);
    }
    return dict;
}

}  // namespace

TEST(ModelSetStats, DefaultsBeforeAnyUpdate) {
    VTBackupSetStats set(1);
    EXPECT_EQ(set.status(), VTBackupStatusUnknown);
    EXPECT_EQ(set.estimatedTimeRemainingInSec(), -1);
    EXPECT_EQ(set.lastCompletedBackupTime(), -1);
    EXPECT_EQ(set.nextBackupTime(), -1);
    EXPECT_TRUE(set.isWithinScheduledWindow());
    EXPECT_FALSE(set.selectedForBackup());
    EXPECT_TRUE(set.analyzingFileToDo()->doneAnalyzing());
    EXPECT_FALSE(set.sendingFileToDo()->doneSending());
}

TEST(ModelSetStats, ASafeCompleteSetWithFilesReadsComplete) {
    VTBackupSetStats set(1);
    set.updatePropertiesFromDict(
        json(R"({"setId": 1, "status": "SAFE", "completedRatio": 1, "numFilesScanned": 5})"));
    EXPECT_EQ(set.status(), VTBackupStatusComplete);

    VTBackupSetStats empty(2);
    empty.updatePropertiesFromDict(
        json(R"({"setId": 2, "status": "SAFE", "completedRatio": 1, "numFilesScanned": 0})"));
    EXPECT_EQ(empty.status(), VTBackupStatusSafe);

    VTBackupSetStats almost(3);
    almost.updatePropertiesFromDict(
        json(R"({"setId": 3, "status": "SAFE", "completedRatio": 0.999, "numFilesScanned": 5})"));
    EXPECT_EQ(almost.status(), VTBackupStatusSafe);

    // New files make a complete set safe again, and a ratio of exactly 1 in any writing
    // completes it.
    set.updatePropertiesFromDict(json(R"({"completedRatio": 0.5})"));
    EXPECT_EQ(set.status(), VTBackupStatusSafe);
    set.updatePropertiesFromDict(json(R"({"completedRatio": 1.0})"));
    EXPECT_EQ(set.status(), VTBackupStatusComplete);
    set.setCompletionRatio(*VTDecimal::fromString(QStringLiteral("1.000")));
    EXPECT_EQ(set.status(), VTBackupStatusComplete);
    set.setCompletionRatio(*VTDecimal::fromString(QStringLiteral("0.9999999999999999")));
    EXPECT_EQ(set.status(), VTBackupStatusSafe);
}

TEST(ModelSetStats, StatusAnnouncesOnlyChangesCompletionAlways) {
    VTBackupSetStats set(1);
    NotificationCounter statuses(&set, "status");
    NotificationCounter ratios(&set, "completionRatio");
    const QJsonObject dict = json(R"({"status": "WARNING", "completedRatio": 0.5})");
    set.updatePropertiesFromDict(dict);
    set.updatePropertiesFromDict(dict);
    EXPECT_EQ(statuses.count(), 1);
    EXPECT_EQ(ratios.count(), 2);
    EXPECT_EQ(set.completionRatio(), VTDecimal::fromDouble(0.5));
    set.updatePropertiesFromDict(json(R"({"status": "bogus"})"));
    EXPECT_EQ(set.status(), VTBackupStatusUnknown);
    // Without a "status" key the status stays as it was.
    set.updatePropertiesFromDict(json(R"({"status": "SEVERE"})"));
    set.updatePropertiesFromDict(json(R"({"completedRatio": 0.6})"));
    EXPECT_EQ(set.status(), VTBackupStatusSevere);
}

TEST(ModelSetStats, FileProgressComesFromNestedDictionaries) {
    VTBackupSetStats set(1);
    set.updatePropertiesFromDict(json(R"({
        "analyzingFileTodo": {"completionRatio": 0.5, "file": "/a", "doneAnalyzing": false},
        "sendingFileTodo": {"completionRatio": 0.25, "file": "/b", "doneSending": true}})"));
    EXPECT_EQ(set.analyzingFileToDo()->currentFile(), QStringLiteral("/a"));
    EXPECT_FALSE(set.analyzingFileToDo()->doneAnalyzing());
    EXPECT_DOUBLE_EQ(set.sendingFileToDo()->completionRatio(), 0.25);
    EXPECT_TRUE(set.sendingFileToDo()->doneSending());
    set.updatePropertiesFromDict(json(R"({"analyzingFileTodo": "not a dictionary"})"));
    EXPECT_EQ(set.analyzingFileToDo()->currentFile(), QStringLiteral("/a"));
}

TEST(ModelSourceStats, CompletionBecomesAPercentageAndDrivesTheStatus) {
    VTSourceStats source(3001);
    EXPECT_TRUE(source.isEmpty());
    EXPECT_EQ(source.computerStatus(), VTComputerStatusUnknown);
    source.updatePropertiesFromDict(
        json(R"({"guid": 3001, "completedRatio": 1, "connected": true})"));
    EXPECT_FALSE(source.isEmpty());
    EXPECT_EQ(source.completionRatio(), VTDecimal(100));
    EXPECT_EQ(source.computerStatus(), VTComputerStatusComplete);

    source.updatePropertiesFromDict(json(R"({"completedRatio": 0.999})"));
    EXPECT_EQ(source.completionRatio(), *VTDecimal::fromString(QStringLiteral("99.9")));
    EXPECT_EQ(source.computerStatus(), VTComputerStatusSafe);

    source.updatePropertiesFromDict(json(R"({"connected": false})"));
    EXPECT_EQ(source.computerStatus(), VTComputerStatusOffline);
    EXPECT_FALSE(source.canPauseResume());
}

TEST(ModelSourceStats, StatusIsReadyForLaterSubscribersOfLastUpdated) {
    VTSourceStats source(3001);
    int statusSeen = 0;
    VTPropertyObserver row;
    row.observe(&source, "lastUpdated", [&](QObject*, const QByteArray&, const QVariant&) {
        statusSeen = source.computerStatus();
    });
    source.updatePropertiesFromDict(json(R"({"completedRatio": 1, "connected": true})"));
    EXPECT_EQ(statusSeen, VTComputerStatusComplete);
}

TEST(ModelSourceStats, UnchangedCompletionIsNotAnnounced) {
    VTSourceStats source(1);
    NotificationCounter ratios(&source, "completionRatio");
    NotificationCounter active(&source, "isActive");
    source.updatePropertiesFromDict(json(R"({"completedRatio": 0.5, "backingUp": true})"));
    source.updatePropertiesFromDict(json(R"({"completedRatio": 0.5})"));
    EXPECT_EQ(ratios.count(), 1);
    // isActive is written, and announced, on every lastUpdated signal.
    EXPECT_EQ(active.count(), 2);
    EXPECT_TRUE(source.isActive());
}

TEST(ModelDestinationStats, CompletionIsTheMeanPercentage) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true})"), {json(R"({"setId": 1, "completedRatio": 0.5})"),
                                         json(R"({"setId": 2, "completedRatio": 1})")}));
    EXPECT_EQ(destination.completionRatio(), VTDecimal(75));
    EXPECT_EQ(destination.backupSetsStats().size(), 2);
    EXPECT_EQ(destination.allSetIDs(), (QSet<qint64>{1, 2}));
}

TEST(ModelDestinationStats, StatusIsTheWorstSetUnlessOutOfSpaceOrOffline) {
    VTDestinationStats destination(2001);
    const QList<QJsonObject> sets{json(R"({"setId": 1, "status": "SAFE"})"),
                                  json(R"({"setId": 2, "status": "WARNING"})")};
    destination.updatePropertiesFromDict(destinationDict(json(R"({"connected": true})"), sets));
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusWarning);
    destination.updatePropertiesFromDict(
        destinationDict(json(R"({"connected": true, "outOfSpace": true})"), sets));
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusSevere);
    destination.updatePropertiesFromDict(
        destinationDict(json(R"({"connected": false, "outOfSpace": false})"), sets));
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusOffline);
}

TEST(ModelDestinationStats, ASafeCompleteOnlySetMakesItComplete) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true, "backupReady": true})"),
        {json(R"({"setId": 1, "status": "SAFE", "completedRatio": 1, "numFilesScanned": 3})")}));
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusComplete);
    EXPECT_EQ(destination.completionRatio(), VTDecimal(100));
    EXPECT_FALSE(destination.canPauseResume());  // complete, nothing left to send
}

TEST(ModelDestinationStats, PausedWhenEverySetIsPaused) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true})"),
        {json(R"({"setId": 1, "paused": true, "nextBackupTime": 1700000000000})"),
         json(R"({"setId": 2, "paused": true, "nextBackupTime": 1600000000000})")}));
    EXPECT_TRUE(destination.isPaused());
    EXPECT_EQ(destination.nextBackupTime(), 0);

    destination.updatePropertiesFromDict(
        destinationDict(json("{}"), {json(R"({"setId": 2, "paused": false})")}));
    EXPECT_FALSE(destination.isPaused());
    EXPECT_EQ(destination.nextBackupTime(), 1600000000000);
}

TEST(ModelDestinationStats, AnEmptyDestinationHoldsTheSentinels) {
    VTDestinationStats destination(2001);
    EXPECT_TRUE(destination.isSelectedForBackup());
    EXPECT_EQ(destination.scheduledTime(), QStringLiteral(""));
    destination.updatePropertiesFromDict(json(R"({"guid": 2001, "connected": true})"));
    EXPECT_TRUE(destination.isPaused());
    EXPECT_FALSE(destination.isWithinScheduledWindow());
    EXPECT_EQ(destination.lastBackupTime(), -1);
    EXPECT_EQ(destination.lastCompletedBackupTime(), -1);
    EXPECT_EQ(destination.nextBackupTime(), 0);
    EXPECT_EQ(destination.resumeTime(), 0);
    EXPECT_EQ(destination.completionRatio(), VTDecimal(0));
    EXPECT_EQ(destination.computerStatus(), VTComputerStatusComplete);
}

TEST(ModelDestinationStats, TotalsAndExtremesOverTheSets) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true, "numFilesScanned": 999999, "scanning": true})"),
        {json(R"({"setId": 1, "resumeTime": 0, "numFilesScanned": 3, "numBytesScanned": 30,
                  "numRemainingFiles": 1, "numRemainingBytes": 10,
                  "estimatedTimeRemainingInSec": 60, "lastBackupTime": 500,
                  "lastCompletedBackupTime": 400, "withinSchedule": false,
                  "scheduledTime": "nights", "selectedForBackup": false})"),
         json(R"({"setId": 2, "resumeTime": 7000, "numFilesScanned": 4, "numBytesScanned": 40,
                  "numRemainingFiles": 2, "numRemainingBytes": 20,
                  "estimatedTimeRemainingInSec": 30, "lastBackupTime": 800,
                  "lastCompletedBackupTime": 300, "scanning": true})")}));
    // The destination's own counters are never read from its dictionary.
    EXPECT_EQ(destination.numFilesScanned(), 7);
    EXPECT_EQ(destination.numBytesScanned(), 70);
    EXPECT_EQ(destination.numRemainingFiles(), 3);
    EXPECT_EQ(destination.numRemainingBytes(), 30);
    EXPECT_EQ(destination.estimatedTimeRemainingInSec(), 90);
    EXPECT_EQ(destination.resumeTime(), 7000);
    EXPECT_EQ(destination.lastBackupTime(), 800);
    EXPECT_EQ(destination.lastCompletedBackupTime(), 400);
    EXPECT_TRUE(destination.isScanning());
    EXPECT_FALSE(destination.isSelectedForBackup());
    EXPECT_TRUE(destination.isWithinScheduledWindow());
    EXPECT_EQ(destination.scheduledTime(), QStringLiteral("nights"));
    EXPECT_FALSE(destination.anySetSelectedForBackup());
}

TEST(ModelDestinationStats, ASetStatusChangeRecomputesBeforeTheUpdateEnds) {
    VTDestinationStats destination(2001);
    const QJsonObject own = json(R"({"connected": true})");
    destination.updatePropertiesFromDict(
        destinationDict(own, {json(R"({"setId": 1, "status": "WARNING"})")}));
    ASSERT_EQ(destination.computerStatus(), VTComputerStatusWarning);
    VTBackupSetStats* set = destination.backupSetsStats().first();

    QList<int> statusDuringSetChange;
    bool lastUpdatedSignalled = false;
    VTPropertyObserver observer;
    observer.observe(set, "status", [&](QObject*, const QByteArray&, const QVariant&) {
        if (!lastUpdatedSignalled) {
            statusDuringSetChange << destination.computerStatus();
        }
    });
    observer.observe(
        &destination, "lastUpdated",
        [&](QObject*, const QByteArray&, const QVariant&) { lastUpdatedSignalled = true; });
    destination.updatePropertiesFromDict(
        destinationDict(own, {json(R"({"setId": 1, "status": "SAFE"})")}));
    EXPECT_EQ(statusDuringSetChange, QList<int>{VTComputerStatusSafe});
    EXPECT_TRUE(lastUpdatedSignalled);
}

TEST(ModelDestinationStats, SetIdsAsTextFindTheSameSet) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(
        json(R"({"guid": 2001, "12": {"setId": 12, "completedRatio": 0.5}})"));
    VTBackupSetStats* set = destination.backupSetsStats().first();
    destination.updatePropertiesFromDict(
        json(R"({"guid": 2001, "x": {"setId": " 12", "completedRatio": 0.75}})"));
    ASSERT_EQ(destination.backupSetsStats().size(), 1);
    EXPECT_EQ(destination.backupSetsStats().first(), set);
    EXPECT_EQ(set->completionRatio(), VTDecimal::fromDouble(0.75));
}

TEST(ModelDestinationStats, UnusableSetIdsAreSkipped) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(json(R"({"guid": 2001,
        "a": {"setId": true}, "b": {"setId": null}, "c": {"setId": 0}, "d": {"setId": "none"},
        "e": {"noSetId": 5}, "f": [1, 2], "g": {"setId": 4}})"));
    EXPECT_EQ(destination.allSetIDs(), QSet<qint64>{4});
}

TEST(ModelDestinationStats, SetsMissingFromAnUpdateAreKept) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(
        destinationDict(json("{}"), {json(R"({"setId": 1})"), json(R"({"setId": 2})")}));
    destination.updatePropertiesFromDict(destinationDict(json("{}"), {json(R"({"setId": 2})")}));
    EXPECT_EQ(destination.allSetIDs(), (QSet<qint64>{1, 2}));
}

TEST(ModelDestinationStats, PauseAndResumeIsOfferedByTheRules) {
    VTDestinationStats destination(2001);
    const QJsonObject set = json(R"({"setId": 1, "status": "SAFE", "numFilesScanned": 4,
                                      "numRemainingFiles": 2, "completedRatio": 0.5})");
    destination.updatePropertiesFromDict(
        destinationDict(json(R"({"connected": true, "backupReady": true, "outOfSpace": true,
                 "backingUp": true})"),
                        {set}));
    EXPECT_TRUE(destination.canPauseResume());  // backing up wins over out of space
    destination.updatePropertiesFromDict(destinationDict(json(R"({"backingUp": false})"), {set}));
    EXPECT_FALSE(destination.canPauseResume());
    destination.updatePropertiesFromDict(destinationDict(json(R"({"outOfSpace": false})"), {set}));
    EXPECT_TRUE(destination.canPauseResume());
    destination.updatePropertiesFromDict(
        destinationDict(json("{}"), {json(R"({"setId": 1, "withinSchedule": false})")}));
    EXPECT_FALSE(destination.canPauseResume());
}

TEST(ModelDestinationStats, RemovedSetsAreNoLongerWatched) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true})"), {json(R"({"setId": 1, "status": "SEVERE"})")}));
    VTBackupSetStats* set = destination.backupSetsStats().first();
    NotificationCounter statuses(&destination, "computerStatus");
    destination.removeBackupSetsStatsObject(set);
    set->setStatus(VTBackupStatusWarning);
    EXPECT_EQ(statuses.count(), 0);
    EXPECT_TRUE(destination.backupSetsStats().isEmpty());
    flushDeferredDeletes();
}

TEST(ModelDestinationStats, CompletionAndPauseOfferAnnounceOnlyChanges) {
    VTDestinationStats destination(2001);
    NotificationCounter ratios(&destination, "completionRatio");
    NotificationCounter offers(&destination, "canPauseResume");
    NotificationCounter statuses(&destination, "computerStatus");
    const QJsonObject dict = destinationDict(
        json(R"({"connected": true, "backupReady": true})"),
        {json(R"({"setId": 1, "completedRatio": 0.5, "numFilesScanned": 2, "status": "SAFE"})")});
    destination.updatePropertiesFromDict(dict);
    const int statusesAfterFirst = statuses.count();
    destination.updatePropertiesFromDict(dict);
    EXPECT_EQ(ratios.count(), 1);
    EXPECT_EQ(offers.count(), 1);
    // The computer status is written, and announced, on every recomputation.
    EXPECT_GT(statuses.count(), statusesAfterFirst);
}

TEST(ModelDestinationStats, CompletionFollowsEveryChangeOfItsInputs) {
    VTDestinationStats destination(2001);
    destination.updatePropertiesFromDict(destinationDict(
        json(R"({"connected": true})"), {json(R"({"setId": 1, "completedRatio": 0.5})"),
                                         json(R"({"setId": 2, "completedRatio": 1})")}));
    EXPECT_EQ(destination.completionRatio(), VTDecimal(75));
    NotificationCounter ratios(&destination, "completionRatio");
    // A set's own change recomputes the destination at once.
    destination.backupSetsStats().first()->setCompletionRatio(VTDecimal(0));
    EXPECT_EQ(destination.completionRatio(), VTDecimal(50));
    EXPECT_EQ(ratios.count(), 1);
    // Unchanged inputs: nothing to announce.
    destination.VT_calculateAndSetCompletionRatio();
    EXPECT_EQ(ratios.count(), 1);
    // A value stored from outside is replaced by the next computation.
    destination.setCompletionRatio(VTDecimal(7));
    destination.VT_calculateAndSetCompletionRatio();
    EXPECT_EQ(destination.completionRatio(), VTDecimal(50));
    EXPECT_EQ(ratios.count(), 3);
    // A new set joins the mean.
    destination.updatePropertiesFromDict(
        destinationDict(json("{}"), {json(R"({"setId": 3, "completedRatio": 0.5})")}));
    EXPECT_EQ(destination.completionRatio(), VTDecimal(50));
    destination.updatePropertiesFromDict(
        destinationDict(json("{}"), {json(R"({"setId": 3, "completedRatio": 0.8})")}));
    EXPECT_EQ(destination.completionRatio(), VTDecimal(60));
    flushDeferredDeletes();
}

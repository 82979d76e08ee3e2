// The application state fed with the service's documents: merging computers and sets, the
// overall status, the pause state and the notifications the presentation relies on.
#include <gtest/gtest.h>

#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "model/VTModelUtils.h"
#include "model/VTVaultorState.h"
#include "tests/ModelTestSupport.h"
#include "tests/fixtures/model/ModelFixtures.h"

using namespace ModelTestSupport;

namespace {

class ModelState : public ::testing::Test {
  protected:
    void applyAppState(const char* json) { message<AppStateMessage>(json)->applyTo(state); }
    void applyStats(const char* json) { message<StatsMessage>(json)->applyTo(state); }
    void applySummary(const QByteArray& tokens) {
        state.updateFromBackupStatsSummary(message<BackupStatsSummaryMessage>(tokens)->stats());
    }
    VTDestination* destination(qint64 guid) {
        return qobject_cast<VTDestination*>(state.computerForGUID(guid));
    }

    TemporaryUserDefaults defaults;
    VTVaultorState state{defaults.get()};
};

// A summary with the given activity bits, pause time and status code.
QByteArray summary(int activities, qint64 pauseResumeTime, int status) {
    return QStringLiteral("%1|0|0|%2|%3|0|0|0|0|0|0|0|0|0")
        .arg(activities)
        .arg(pauseResumeTime)
        .arg(status)
        .toUtf8();
}

// Runs body with the current second, retrying when the second turned over meanwhile.
template <typename Body>
void withinOneSecond(Body body) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const qint64 before = VTModelUtils::currentTimeInSeconds();
        const bool result = body(before);
        if (VTModelUtils::currentTimeInSeconds() == before) {
            EXPECT_TRUE(result);
            return;
        }
    }
    FAIL() << "the clock kept turning over";
}

}  // namespace

TEST_F(ModelState, StartsSafeAndStarting) {
    EXPECT_TRUE(state.isStarting());
    EXPECT_FALSE(state.isConnected());
    EXPECT_EQ(state.backupStatus(), VTBackupStatusSafe);
    EXPECT_EQ(state.os(), VTOSTypeUnknown);
    EXPECT_EQ(state.lastUpdated(), 0);
    EXPECT_TRUE(state.legacyStatsSummary().isEmpty());
    EXPECT_TRUE(state.allComputers().isEmpty());
}

TEST_F(ModelState, AppStateBuildsComputersSetsAndStatistics) {
    state.setIsConnected(true);
    applyAppState(ModelFixtures::kAppState);
    EXPECT_FALSE(state.isStarting());
    EXPECT_EQ(state.destinations().size(), 2);
    EXPECT_EQ(state.sources().size(), 2);
    EXPECT_TRUE(state.otherComputers().isEmpty());
    EXPECT_EQ(state.allComputers().size(), 4);  // 5001 counts as source and as destination
    EXPECT_EQ(state.setIDs(), (QSet<qint64>{11, 12}));
    EXPECT_TRUE(state.hasSources());
    EXPECT_TRUE(state.alert());
    EXPECT_EQ(state.thisComputerGUID(), 1000);
    EXPECT_EQ(state.os(), VTOSTypeLinux);
    EXPECT_EQ(state.versionName(), QStringLiteral("4.2.1"));
    EXPECT_FALSE(state.isProcessingStats());
    EXPECT_GT(state.lastUpdated(), 0);

    VTDestination* cloud = destination(2001);
    ASSERT_NE(cloud, nullptr);
    EXPECT_TRUE(cloud->isTarget());
    EXPECT_TRUE(cloud->isVTC());
    EXPECT_EQ(cloud->port(), 4242);
    EXPECT_EQ(cloud->offeredBytesOnTarget(), Q_INT64_C(5000000000000));
    EXPECT_EQ(cloud->stats()->computerStatus(), VTComputerStatusComplete);
    EXPECT_EQ(cloud->stats()->remoteArchiveSize(), 123456);
    EXPECT_EQ(cloud->stats()->effectiveTransferRate(), 1000);
    EXPECT_EQ(cloud->stats()->nextBackupTime(), 1700001800000);

    // Receiving from 3001, sending to 5001; statistics of the unknown 8888 are ignored.
    EXPECT_TRUE(state.isReceiving());
    EXPECT_TRUE(state.isSending());
    EXPECT_FALSE(state.isRestoring());
    EXPECT_EQ(state.computerForGUID(8888), nullptr);
    const auto* laptop = qobject_cast<VTSource*>(state.computerForGUID(3001));
    ASSERT_NE(laptop, nullptr);
    EXPECT_EQ(laptop->stats()->completionRatio(), VTDecimal(50));
    EXPECT_EQ(laptop->stats()->archiveSize(), 987654);
    EXPECT_EQ(laptop->stats()->computerStatus(), VTComputerStatusSafe);
    // One destination complete: a safe overall status reads complete.
    EXPECT_EQ(state.backupStatus(), VTBackupStatusComplete);
}

TEST_F(ModelState, ADestinationIsKeptAcrossMessagesAndRecreatedAfterVanishing) {
    applyAppState(ModelFixtures::kAppState);
    VTDestination* first = destination(2001);
    VTDestinationStats* firstStats = first->stats();
    NotificationCounter destinations(&state, "destinations");

    applyAppState(ModelFixtures::kAppState);
    EXPECT_EQ(destination(2001), first);
    EXPECT_EQ(first->stats(), firstStats);
    EXPECT_EQ(destinations.count(), 0);

    applyAppState(ModelFixtures::kAppStateWithout2001);
    EXPECT_EQ(destination(2001), nullptr);
    EXPECT_EQ(state.sources().size(), 1);
    EXPECT_EQ(state.setIDs(), QSet<qint64>{11});
    EXPECT_EQ(destinations.count(), 1);
    flushDeferredDeletes();

    applyAppState(ModelFixtures::kAppState);
    VTDestination* again = destination(2001);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->stats()->backupSetsStats().size(), 2);
    EXPECT_EQ(destinations.count(), 2);
}

TEST_F(ModelState, OverallStatusFollowsTheDestinations) {
    applyAppState(ModelFixtures::kAppState);
    NotificationCounter statuses(&state, "backupStatus");
    applyStats(R"({"backupStatus": "SAFE"})");
    EXPECT_EQ(state.backupStatus(), VTBackupStatusComplete);
    EXPECT_EQ(statuses.count(), 0);  // unchanged: not announced

    applyStats(ModelFixtures::kStatsOutOfSpace);
    EXPECT_EQ(destination(2001)->stats()->computerStatus(), VTComputerStatusSevere);
    EXPECT_EQ(state.backupStatus(), VTBackupStatusWarning);
    EXPECT_TRUE(state.isRestoring());
    EXPECT_FALSE(state.isReceiving());

    // No destination complete any more: safe stays safe.
    applyStats(R"({"backupStatus": "SAFE"})");
    EXPECT_EQ(state.backupStatus(), VTBackupStatusSafe);
    applyStats(R"({"backupStatus": "nonsense"})");
    EXPECT_EQ(state.backupStatus(), VTBackupStatusUnknown);
    EXPECT_EQ(statuses.count(), 3);
}

TEST_F(ModelState, PausedWhileTheResumeTimeLiesInTheFuture) {
    withinOneSecond([this](qint64 now) {
        state.setResumeSystemTime(now * 1000);
        return !state.isPaused();
    });
    withinOneSecond([this](qint64 now) {
        state.setResumeSystemTime(now * 1000 + 1);
        return state.isPaused();
    });
    withinOneSecond([this](qint64 now) {
        applyStats(QStringLiteral(R"({"resumeSystemTime": %1})")
                       .arg((now + 60) * 1000)
                       .toUtf8()
                       .constData());
        return state.isPaused() && state.resumeSystemTime() == (now + 60) * 1000;
    });
    applyStats(R"({"backupStatus": "SAFE"})");  // no resume time: not paused
    EXPECT_FALSE(state.isPaused());
    EXPECT_EQ(state.resumeSystemTime(), 0);
}

TEST_F(ModelState, LosingTheConnectionEmptiesSetsAndKeepsComputers) {
    state.setIsConnected(true);
    applyAppState(ModelFixtures::kAppState);
    applySummary(summary(0, 0, 2));
    NotificationCounter lastUpdated(&state, "lastUpdated");
    state.setIsConnected(false);
    EXPECT_TRUE(state.sets().isEmpty());
    EXPECT_EQ(state.destinations().size(), 2);
    EXPECT_EQ(state.sources().size(), 2);
    EXPECT_FALSE(state.alert());
    EXPECT_FALSE(state.hasSources());  // the flags reset; the sources themselves stay
    EXPECT_EQ(state.os(), VTOSTypeUnknown);
    // Destination 2001 is still complete, so the reset safe status reads complete.
    EXPECT_EQ(state.backupStatus(), VTBackupStatusComplete);
    EXPECT_GE(lastUpdated.count(), 1);
    EXPECT_GE(state.lastUpdated(), VTModelUtils::currentTimeInSeconds() - 5);
    EXPECT_TRUE(state.legacyStatsSummary().isEmpty());
    EXPECT_FALSE(state.isStarting());
}

TEST_F(ModelState, ADisconnectWithoutCompleteDestinationsIsSafe) {
    applyAppState(ModelFixtures::kAppStateWithout2001);
    state.setIsConnected(false);
    EXPECT_EQ(state.backupStatus(), VTBackupStatusSafe);
}

TEST_F(ModelState, SummariesSetActivityPauseAndStatus) {
    applySummary(summary(5, 0, 1));
    EXPECT_TRUE(state.isSending());
    EXPECT_FALSE(state.isReceiving());
    EXPECT_FALSE(state.isRestoring());
    EXPECT_EQ(state.backupStatus(), VTBackupStatusWarning);
    EXPECT_TRUE(state.sets().isEmpty());  // not in legacy mode

    applySummary(summary(2 | 8, 0, 7));
    EXPECT_TRUE(state.isReceiving());
    EXPECT_TRUE(state.isRestoring());
    EXPECT_EQ(state.backupStatus(), VTBackupStatusUnknown);
    applySummary(summary(0, 0, 0));
    EXPECT_EQ(state.backupStatus(), VTBackupStatusSevere);

    // The pause time is milliseconds since 1970.
    const qint64 inOneHour = (VTModelUtils::currentTimeInSeconds() + 3600) * 1000;
    applySummary(summary(0, inOneHour, 2));
    EXPECT_TRUE(state.isPaused());
    EXPECT_EQ(state.resumeSystemTime(), inOneHour);
}

TEST_F(ModelState, LegacySummariesKeepTheSummaryAndAddTheDefaultSetOnce) {
    state.setIsUsingLegacyMessaging(true);
    NotificationCounter sets(&state, "sets");
    applySummary(summary(1, 0, 2));
    applySummary(summary(0, 0, 2));
    ASSERT_EQ(state.sets().size(), 1);
    const VTBackupSet* set = state.sets().first();
    EXPECT_EQ(set->setID(), 1);
    EXPECT_EQ(set->name(), QStringLiteral("Default"));
    EXPECT_EQ(set->priority(), 1);
    EXPECT_EQ(sets.count(), 1);
    EXPECT_FALSE(state.legacyStatsSummary().isEmpty());
    EXPECT_EQ(state.legacyStatsSummary().activities(), 0);
}

TEST_F(ModelState, TheLastSourceGoingClearsHasSources) {
    applyAppState(R"({"computers": {"s": {"guid": 3001, "source": true}}})");
    EXPECT_TRUE(state.hasSources());
    applyAppState(R"({"computers": {}})");
    EXPECT_TRUE(state.sources().isEmpty());
    EXPECT_FALSE(state.hasSources());
}

TEST_F(ModelState, LastUpdatedAnnouncesEveryUpdate) {
    NotificationCounter lastUpdated(&state, "lastUpdated");
    NotificationCounter processing(&state, "isProcessingStats");
    applyStats("{}");
    applyStats("{}");
    applySummary(summary(0, 0, 2));
    EXPECT_EQ(lastUpdated.count(), 3);
    applyAppState(ModelFixtures::kAppState);
    EXPECT_EQ(lastUpdated.count(), 4);
    EXPECT_EQ(processing.values(), (QVariantList{false, false, true, false}));
}

TEST_F(ModelState, SubscribersOfLastUpdatedSeeTheWholeUpdate) {
    int destinationsSeen = -1;
    int statusSeen = 0;
    VTPropertyObserver icon;
    icon.observe(&state, "lastUpdated", [&](QObject*, const QByteArray&, const QVariant&) {
        destinationsSeen = static_cast<int>(state.destinations().size());
        statusSeen = state.backupStatus();
    });
    applyAppState(ModelFixtures::kAppState);
    EXPECT_EQ(destinationsSeen, 2);
    EXPECT_EQ(statusSeen, VTBackupStatusComplete);
}

TEST_F(ModelState, ComputersStartWithTheirDetailsHidden) {
    applyAppState(ModelFixtures::kAppState);
    VTUserDefaults* userDefaults = defaults.get();
    EXPECT_TRUE(userDefaults->boolForKey(QStringLiteral("hide_details_dest_2001")));
    EXPECT_TRUE(userDefaults->boolForKey(QStringLiteral("hide_details_src_3001")));
    EXPECT_TRUE(userDefaults->boolForKey(QStringLiteral("hide_details_dest_5001")));
    EXPECT_TRUE(userDefaults->boolForKey(QStringLiteral("hide_details_src_5001")));
    EXPECT_FALSE(userDefaults->objectForKey(QStringLiteral("hide_details_dest_4001")).isValid());

    // The user's own choice overrides the registered default.
    userDefaults->setObject(false, QStringLiteral("hide_details_dest_2001"));
    applyAppState(ModelFixtures::kAppState);
    EXPECT_FALSE(userDefaults->boolForKey(QStringLiteral("hide_details_dest_2001")));
}

TEST_F(ModelState, AnUnreadableAppStateEmptiesTheCollections) {
    applyAppState(ModelFixtures::kAppState);
    applyAppState("{not json");
    EXPECT_TRUE(state.destinations().isEmpty());
    EXPECT_TRUE(state.sources().isEmpty());
    EXPECT_TRUE(state.sets().isEmpty());
    EXPECT_FALSE(state.isProcessingStats());
}

TEST_F(ModelState, ConnectedComputersAreFoundByGUID) {
    applyAppState(ModelFixtures::kAppState);
    VTComputer* friendComputer = state.computerForGUID(5001);
    ASSERT_NE(friendComputer, nullptr);
    ASSERT_NE(friendComputer->stats(), nullptr);
    friendComputer->stats()->setIsConnected(false);
    EXPECT_FALSE(friendComputer->stats()->isConnected());
    VTComputer plain(77);
    EXPECT_EQ(plain.stats(), nullptr);
}

TEST_F(ModelState, EachAppStateReplacesTheSetsWhole) {
    applyAppState(ModelFixtures::kAppState);
    const VTBackupSet* before = state.sets().first();
    NotificationCounter sets(&state, "sets");
    applyAppState(ModelFixtures::kAppState);
    EXPECT_EQ(sets.count(), 4);  // two removals, two additions
    EXPECT_EQ(state.setIDs(), (QSet<qint64>{11, 12}));
    EXPECT_NE(state.sets().first(), before);
    flushDeferredDeletes();
}

TEST_F(ModelState, NullMembersAreRefused) {
    state.addDestinationsObject(nullptr);
    state.addSourcesObject(nullptr);
    state.addSetsObject(nullptr);
    state.addOtherComputersObject(nullptr);
    state.removeDestinationsObject(nullptr);
    state.removeSourcesObject(nullptr);
    state.removeSetsObject(nullptr);
    state.removeOtherComputersObject(nullptr);
    EXPECT_TRUE(state.allComputers().isEmpty());
    EXPECT_TRUE(state.sets().isEmpty());
    EXPECT_FALSE(state.hasSources());
}

TEST_F(ModelState, OtherComputersAreHeldButNotFilledByTheService) {
    applyAppState(ModelFixtures::kAppState);
    EXPECT_TRUE(state.otherComputers().isEmpty());
    auto* spare = new VTComputer(6001);
    state.addOtherComputersObject(spare);
    EXPECT_EQ(state.computerForGUID(6001), spare);
    EXPECT_EQ(zed_computer_for_set(6001, state.allComputers()), spare);
    EXPECT_EQ(spare->parent(), &state);
    state.removeOtherComputersObject(spare);
    EXPECT_EQ(state.computerForGUID(6001), nullptr);
    flushDeferredDeletes();
}

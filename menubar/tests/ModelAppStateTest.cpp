// The app-state document and the token messages of the legacy protocol, decoded as the service
// sends them.
#include <gtest/gtest.h>

#include "app/VTUtils.h"
#include "messaging/AppStateMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/ComputersMessage.h"
#include "messaging/StatusTrayMessage.h"
#include "tests/ModelTestSupport.h"
#include "tests/fixtures/model/ModelFixtures.h"

using namespace ModelTestSupport;

TEST(ModelAppStateMessage, SortsComputersIntoSourcesDestinationsAndOthers) {
    auto msg = message<AppStateMessage>(ModelFixtures::kAppState);
    EXPECT_EQ(msg->sources().keys(), (QList<qint64>{3001, 5001}));
    EXPECT_EQ(msg->destinations().keys(), (QList<qint64>{2001, 5001}));
    // 4001 is a target, but its statistics name no known set.
    EXPECT_EQ(msg->otherComputers().keys(), (QList<qint64>{1000, 4001, 6001}));
    EXPECT_EQ(msg->thisComputerGUID(), 1000);
    EXPECT_EQ(msg->destinations().value(2001).value(QLatin1StringView("name")).toString(),
              QStringLiteral("Cloud"));
}

TEST(ModelAppStateMessage, CopiesFlagsTextsAndSets) {
    auto msg = message<AppStateMessage>(ModelFixtures::kAppState);
    EXPECT_TRUE(msg->alert());
    EXPECT_EQ(msg->appBaseName(), QStringLiteral("Vaultor"));
    EXPECT_FALSE(msg->isProClient());
    EXPECT_FALSE(msg->isUpgrading());
    EXPECT_EQ(msg->locale(), QStringLiteral("en_US"));
    EXPECT_EQ(msg->versionName(), QStringLiteral("4.2.1"));
    EXPECT_EQ(msg->versionNumber().toLongLong(), 4201);
    EXPECT_EQ(msg->websiteHost(), QStringLiteral("www.vaultor.example"));
    EXPECT_EQ(msg->os(), VTOSTypeLinux);
    ASSERT_EQ(msg->backupSetObjects().size(), 2);
    const VTBackupSet* photos =
        msg->backupSetObjects().itemMatching([](VTBackupSet* set) { return set->setID() == 12; });
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->name(), QStringLiteral("Photos"));
    EXPECT_EQ(photos->priority(), 1);
    EXPECT_TRUE(photos->isPathSetEmpty());
    EXPECT_EQ(photos->destinationGUIDs(), QList<qint64>{2001});
}

TEST(ModelAppStateMessage, ExtractsOnceEvenAfterAStatisticsAccessor) {
    auto msg = message<AppStateMessage>(ModelFixtures::kAppState);
    EXPECT_EQ(msg->destinationStats().objects().size(), 3);  // parses through the statistics side
    const QMap<qint64, VTJSONObject>& sources = msg->sources();
    EXPECT_EQ(sources.size(), 2);
    EXPECT_EQ(&msg->sources(), &sources);
    EXPECT_TRUE(msg->VT_processJSON());
}

TEST(ModelAppStateMessage, OsNamesAreCaseSensitive) {
    EXPECT_EQ(message<AppStateMessage>(R"({"os": "Mac"})")->os(), VTOSTypeUnknown);
    EXPECT_EQ(message<AppStateMessage>(R"({"os": "mac"})")->os(), VTOSTypeMac);
    EXPECT_EQ(message<AppStateMessage>(R"({"os": "solaris"})")->os(), VTOSTypeSolaris);
    EXPECT_EQ(message<AppStateMessage>(R"({"os": "win"})")->os(), VTOSTypeWin);
    EXPECT_EQ(message<AppStateMessage>(R"({})")->os(), VTOSTypeUnknown);
}

TEST(ModelAppStateMessage, ADocumentThatIsNotJsonYieldsNothing) {
    auto msg = message<AppStateMessage>("this is not json");
    EXPECT_FALSE(msg->alert());
    EXPECT_EQ(msg->os(), VTOSTypeUnknown);
    EXPECT_TRUE(msg->sources().isEmpty());
    EXPECT_TRUE(msg->backupSetObjects().isEmpty());
    EXPECT_FALSE(msg->thisComputerGUID());
    EXPECT_TRUE(message<AppStateMessage>("[1, 2]")->destinations().isEmpty());
}

TEST(ModelAppStateMessage, SourceAndTargetComputerIsInBothCollections) {
    auto msg = message<AppStateMessage>(R"({
        "sets": {"a": {"id": 7, "name": "A", "priority": 1}},
        "computers": {"x": {"guid": 9, "source": true, "target": true}},
        "OutboundStats": {"o": {"guid": 9, "7": {"setId": 7}}}})");
    EXPECT_TRUE(msg->sources().contains(9));
    EXPECT_TRUE(msg->destinations().contains(9));
    EXPECT_TRUE(msg->otherComputers().isEmpty());
}

TEST(ModelAppStateMessage, BrokenEntriesAreSkippedNotFatal) {
    auto msg = message<AppStateMessage>(R"({
        "sets": {"a": {"id": 7, "name": "A"}, "b": {"id": 7, "name": "Again"},
                 "c": {"name": "no id"}, "d": "not a set"},
        "computers": {"x": {"name": "no guid", "source": true}, "y": {"guid": "12", "source": true},
                      "z": 5}})");
    ASSERT_EQ(msg->backupSetObjects().size(), 1);
    EXPECT_EQ(msg->backupSetObjects().items().first()->priority(), 0);
    EXPECT_EQ(msg->sources().keys(), QList<qint64>{12});
}

TEST(ModelBackupStatsSummary, DecodesTheFourteenTokens) {
    auto msg = message<BackupStatsSummaryMessage>(
        "5|10|20|1700000000000|1|3001|2001|0|4096|1000|5000|30|1690000000000|1710000000000");
    const BackupStatsSummary& summary = msg->stats();
    EXPECT_FALSE(summary.isEmpty());
    EXPECT_TRUE(summary.isSending());
    EXPECT_TRUE(summary.isRunning());
    EXPECT_FALSE(summary.isReceiving());
    EXPECT_FALSE(summary.isRestoringFrom());
    EXPECT_FALSE(summary.isScanning());
    EXPECT_EQ(summary.sendingNumRemainingFilesToBackup(), 10);
    EXPECT_EQ(summary.numFilesBackedUp(), 20);
    EXPECT_DOUBLE_EQ(summary.pauseResumeTime(), 1700000000000.0);
    EXPECT_EQ(summary.backupStatus(), 1);
    EXPECT_EQ(summary.receivingComputer(), 3001);
    EXPECT_EQ(summary.sendingComputer(), 2001);
    EXPECT_EQ(summary.sendingSendRateInBytesPerSec(), 4096);
    EXPECT_EQ(summary.sendingNumRemainingBytesToSend(), 1000);
    EXPECT_EQ(summary.sendingTotalNumBytes(), 5000);
    EXPECT_EQ(summary.sendingTotalNumFiles(), 30);
    EXPECT_DOUBLE_EQ(summary.nextScheduledTime(), 1710000000000.0);
    const BackupStatsSummary copy(summary);
    EXPECT_EQ(copy.activities(), 5);
    EXPECT_FALSE(copy.isEmpty());
}

TEST(ModelBackupStatsSummary, EmptyAndMalformedSummaries) {
    const BackupStatsSummary empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.backupStatus(), 2);
    EXPECT_EQ(empty.activities(), 0);
    EXPECT_THROW(message<BackupStatsSummaryMessage>("5|10|20"), std::invalid_argument);
    auto garbage = message<BackupStatsSummaryMessage>("x|y|z|w|v|u|t|s|r|q|p|o|n|m");
    EXPECT_EQ(garbage->stats().activities(), 0);
    EXPECT_EQ(garbage->stats().backupStatus(), 0);
}

TEST(ModelStatusTray, MissingTokensFallBackToTheDefaultName) {
    QVariantMap info = VTUtils::bundleInfoDictionary();
    info.insert(QStringLiteral("kDefaultAppName"), QStringLiteral("Vaultor Backup"));
    VTUtils::overrideBundleInfoDictionary(info);

    auto two = message<StatusTrayMessage>("ok|false");
    EXPECT_FALSE(two->isUpgrading());
    EXPECT_EQ(two->appBaseName(), QStringLiteral("Vaultor Backup"));
    EXPECT_EQ(two->appName(), QStringLiteral("Vaultor Backup"));
    EXPECT_EQ(two->version(), 0);

    auto full = message<StatusTrayMessage>("ok|TRUE|Vaultor|Vaultor Pro|3");
    EXPECT_TRUE(full->isUpgrading());
    EXPECT_EQ(full->appBaseName(), QStringLiteral("Vaultor"));
    EXPECT_EQ(full->appName(), QStringLiteral("Vaultor Pro"));
    EXPECT_EQ(full->version(), 3);

    auto one = message<StatusTrayMessage>("ok");
    EXPECT_EQ(one->version(), 0);
    EXPECT_THROW(one->isUpgrading(), std::out_of_range);
}

TEST(ModelComputers, RecordsBuildComputersWithTheFieldsTheyHave) {
    QObject owner;
    auto msg = message<ComputersMessage>(
        "x|42,Laptop|43,Cloud,cloud.example,4242,-,false,true,TRUE,true,false,-,1700.5|42,Dup|,"
        "nothing");
    const VTUniqueSet<VTComputer> computers = msg->computersSet(&owner);
    ASSERT_EQ(computers.size(), 2);
    const VTComputer* laptop = computers.items()[0];
    EXPECT_EQ(laptop->GUID(), 42);
    EXPECT_EQ(laptop->name(), QStringLiteral("Laptop"));
    EXPECT_TRUE(laptop->host().isNull());
    EXPECT_EQ(laptop->port(), 0);
    EXPECT_FALSE(laptop->isSelf());
    const VTComputer* cloud = computers.items()[1];
    EXPECT_EQ(cloud->host(), QStringLiteral("cloud.example"));
    EXPECT_EQ(cloud->port(), 4242);
    EXPECT_FALSE(cloud->isSelf());
    EXPECT_TRUE(cloud->isOwn());
    EXPECT_TRUE(cloud->isVTC());
    EXPECT_TRUE(cloud->isTarget());
    EXPECT_FALSE(cloud->isSource());
    EXPECT_DOUBLE_EQ(cloud->timeConnected(), 1700.5);
    EXPECT_EQ(cloud->description(), QStringLiteral("Class: VTComputer - Cloud - 43"));
}

// Every rule of a source's status line, reached through states built from the service's
// documents, in pairs that prove which rule wins when two apply.
#include <gtest/gtest.h>

#include "tests/StatusTextTestSupport.h"

using namespace StatusTextTestSupport;

using SourceStatusText = StatusTextTest;

TEST_F(SourceStatusText, HealthySourceWaitsForItsNextBackup) {
    apply();
    EXPECT_EQ(sourceText(), "Waiting for backup — last backup 2 hours ago");
    const QVariantMap texts = sourceBuilder()->buildStatusTextDict(source()->stats());
    EXPECT_FALSE(texts.contains("detailsText"));
}

TEST_F(SourceStatusText, BackingUpShowsTheReceiveRateUnlessScanning) {
    apply(R"({"InboundStats": {"s3001": {"backingUp": true, "receiveRateInBytesPerSec": 5000,
                                         "outOfSpace": true}}})");
    EXPECT_EQ(sourceText(), "Backup running @ 40 kbps");
    apply(R"({"InboundStats": {"s3001": {"backingUp": true, "receiveRateInBytesPerSec": 125000,
                                         "scanning": true}}})");
    EXPECT_EQ(sourceText(), "Backup running...");
    apply(R"({"InboundStats": {"s3001": {"backingUp": true, "receiveRateInBytesPerSec": 4999}}})");
    EXPECT_EQ(sourceText(), "Backup running...");
}

TEST_F(SourceStatusText, OutOfSpaceBeatsMaintaining) {
    apply(R"({"InboundStats": {"s3001": {"outOfSpace": true, "maintaining": true}}})");
    EXPECT_EQ(sourceText(), "Out of space");
}

TEST_F(SourceStatusText, MaintainingBeatsAPausedEngine) {
    apply(R"({"resumeSystemTime": 4000010800000,
              "InboundStats": {"s3001": {"maintaining": true}}})");
    EXPECT_EQ(sourceText(), "Maintaining backup files");
}

TEST_F(SourceStatusText, PausedEngineBeatsOffline) {
    apply(
        R"({"resumeSystemTime": 4000010800000, "InboundStats": {"s3001": {"connected": false}}})");
    EXPECT_EQ(sourceText(), "Backup engine paused — resuming in 3 hours");
}

TEST_F(SourceStatusText, ConnectedRulesInOrder) {
    apply(R"({"InboundStats": {"s3001": {"backupReady": false, "backupNotReadyCode": "BUSY",
                                         "completedRatio": 1}}})");
    EXPECT_EQ(sourceText(), "Destination unavailable — not scheduled to run");
    apply(R"({"InboundStats": {"s3001": {"completedRatio": 1, "numBytesScanned": 0}}})");
    EXPECT_EQ(sourceText(), "Backup complete!");
    apply(R"({"InboundStats": {"s3001": {"numBytesScanned": 0}}})");
    EXPECT_EQ(sourceText(), "No files selected for backup");
    apply(R"({"InboundStats": {"s3001": {"numBytesScanned": 0, "scanning": true,
                                         "lastBackupTime": 0}}})");
    EXPECT_EQ(sourceText(), "Waiting for backup");
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 0);
}

TEST_F(SourceStatusText, UnlistedNotReadyCodeIsLogged) {
    apply(R"({"InboundStats": {"s3001": {"backupReady": false, "backupNotReadyCode": "ODD"}}})");
    EXPECT_EQ(sourceText(), "Destination unavailable — ");
    EXPECT_EQ(recorder_->countContaining("Found 'null' in status text:\nDestination unavailable"),
              1);
}

TEST_F(SourceStatusText, OfflineWaitsForTheConnection) {
    apply(R"({"InboundStats": {"s3001": {"connected": false, "backupReady": false}}})");
    EXPECT_EQ(sourceText(), "Waiting for connection — last backup 2 hours ago");
    apply(R"({"InboundStats": {"s3001": {"connected": false, "lastBackupTime": -1}}})");
    EXPECT_EQ(sourceText(), "Waiting for connection");
}

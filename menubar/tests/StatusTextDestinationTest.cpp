// Every rule of a destination's status line, reached through states built from the service's
// documents, in pairs that prove which rule wins when two apply; and the details line.
#include <gtest/gtest.h>

#include "model/VTPropertyObserver.h"
#include "tests/StatusTextTestSupport.h"

using namespace StatusTextTestSupport;

using DestinationStatusText = StatusTextTest;

TEST_F(DestinationStatusText, HealthyDestinationWaitsForItsNextBackup) {
    apply();
    EXPECT_EQ(destinationText(), "Next backup in 3 hours");
    EXPECT_EQ(detailsText(), "To do: 4 files (1.5 MB)");
    EXPECT_EQ(recorder_->warnings(), QStringList());
}

TEST_F(DestinationStatusText, NoBackupSetsGiveEmptyTexts) {
    apply(R"({"OutboundStats": {"d2001": {"outOfSpace": true}}})");
    state_.setIsConnected(true);
    // Losing the service clears the sets but keeps the computers and their rows.
    state_.setIsConnected(false);
    ASSERT_TRUE(state_.sets().isEmpty());
    const QVariantMap texts = destinationDict();
    EXPECT_EQ(texts.value("text"), "");
    EXPECT_EQ(texts.value("detailsText"), "");
    EXPECT_EQ(recorder_->warnings(), QStringList());
}

TEST_F(DestinationStatusText, DisconnectCodesWithPhrasesBeatAPausedEngine) {
    apply(R"({"resumeSystemTime": 4000010800000,
              "OutboundStats": {"d2001": {"connected": false, "disconnectedCode": "NEW_VERSION"},
                                "d2002": {"connected": false, "disconnectedCode": "OLD_VERSION"}}})");
    ASSERT_TRUE(state_.isPaused());
    EXPECT_EQ(destinationText(2001), "Destination unavailable — you have an older version");
    EXPECT_EQ(destinationText(2002), "Destination unavailable — you have a newer version");
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 0);
}

TEST_F(DestinationStatusText, NotAuthorizedHasNoPhraseAndIsLogged) {
    apply(R"({"OutboundStats": {"d2001": {"connected": false,
                                          "disconnectedCode": "NOT_AUTHORIZED"}}})");
    EXPECT_EQ(destinationText(), "Destination unavailable — ");
    EXPECT_EQ(recorder_->countContaining(
                  "Found 'null' in status text:\nDestination unavailable — \nFor stats:\n"),
              1);
}

TEST_F(DestinationStatusText, UnlistedDisconnectCodeFallsThroughToOffline) {
    apply(R"({"OutboundStats": {"d2001": {"connected": false, "disconnectedCode": "GONE"}}})");
    EXPECT_EQ(destinationText(), "Waiting for connection — last backup 2 hours ago");
}

TEST_F(DestinationStatusText, NoFilesSelectedBeatsAPausedEngine) {
    apply(R"({"resumeSystemTime": 4000010800000,
              "sets": {"a": {"isPathSetEmpty": true}, "b": {"isPathSetEmpty": true}}})");
    EXPECT_EQ(destinationText(), "No files selected for backup");
    EXPECT_EQ(recorder_->countContaining("WE ARE CLAIMING THE USER HAS NO FILES SELECTED"), 1);
    // A set with files that backs up elsewhere does not count for this destination.
    apply(R"({"sets": {"a": {"isPathSetEmpty": true}}})");
    EXPECT_EQ(destinationText(2002), "No files selected for backup");
    EXPECT_EQ(destinationText(2001), "Next backup in 3 hours");
}

TEST_F(DestinationStatusText, NoFilesIsNotClaimedWhileScanningOrProcessing) {
    apply(R"({"resumeSystemTime": 4000010800000,
              "sets": {"a": {"isPathSetEmpty": true}, "b": {"isPathSetEmpty": true}},
              "OutboundStats": {"d2001": {"11": {"scanning": true}}}})");
    EXPECT_EQ(destinationText(), "Backup engine paused — resuming in 3 hours");

    // While an app-state message is applied, a row refreshed by its statistics sees the state
    // half updated and must not claim that nothing is selected.
    apply(R"({"sets": {"a": {"isPathSetEmpty": true}, "b": {"isPathSetEmpty": true}}})");
    ASSERT_EQ(destinationText(), "No files selected for backup");
    QStringList seenWhileProcessing;
    VTPropertyObserver observer;
    observer.observe(destination()->stats(), "lastUpdated", [&](QObject*, auto&, auto&) {
        if (state_.isProcessingStats()) {
            seenWhileProcessing << destinationText();
        }
    });
    apply(R"({"sets": {"a": {"isPathSetEmpty": true}, "b": {"isPathSetEmpty": true}}})");
    EXPECT_EQ(seenWhileProcessing, QStringList{"Next backup in 3 hours"});
}

TEST_F(DestinationStatusText, PausedEngineBeatsMaintaining) {
    apply(R"({"resumeSystemTime": 4000010800000,
              "OutboundStats": {"d2001": {"maintaining": true}}})");
    EXPECT_EQ(destinationText(), "Backup engine paused — resuming in 3 hours");
    apply(R"({"OutboundStats": {"d2001": {"maintaining": true}}})");
    EXPECT_EQ(destinationText(), "Maintaining backup files");
}

TEST_F(DestinationStatusText, MaintainingBeatsAPausedDestination) {
    apply(R"({"OutboundStats": {"d2001": {"maintainingCache": true, "connected": false,
                                          "11": {"paused": true, "resumeTime": 4000003600000}}}})");
    EXPECT_EQ(destinationText(), "Maintaining backup files");
    // Archive maintenance only counts while connected; the cache counts either way.
    apply(R"({"OutboundStats": {"d2001": {"maintaining": true, "connected": false}}})");
    EXPECT_EQ(destinationText(), "Waiting for connection — last backup 2 hours ago");
}

TEST_F(DestinationStatusText, PausedDestinationBeatsOutOfSpace) {
    apply(R"({"OutboundStats": {"d2001": {"outOfSpace": true,
                                          "11": {"paused": true, "resumeTime": 4000003600000}}}})");
    EXPECT_EQ(destinationText(), "Backup paused — resuming in 1 hour");
}

TEST_F(DestinationStatusText, OutOfSpaceBeatsOffline) {
    apply(R"({"OutboundStats": {"d2001": {"outOfSpace": true, "connected": false}}})");
    EXPECT_EQ(destinationText(), "Out of space at destination");
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 0);
}

TEST_F(DestinationStatusText, OfflineWithAWarningShowsHowLongSinceTheLastBackup) {
    apply(R"({"OutboundStats": {"d2001": {"11": {"status": "WARNING"}}}})");
    // The service reports the disconnect by message; the status stays until the next stats.
    destination()->stats()->setIsConnected(false);
    EXPECT_EQ(destinationText(), "Unable to back up — no connection for 2 hours");
    apply(R"({"OutboundStats": {"d2001": {"11": {"status": "SEVERE", "lastBackupTime": 0}}}})");
    destination()->stats()->setIsConnected(false);
    EXPECT_EQ(destinationText(), "Unable to back up — no connection for ");
    EXPECT_EQ(recorder_->countContaining("Found 'null' in status text:\nUnable to back up"), 1);
}

TEST_F(DestinationStatusText, OfflineScanningWaitingOrComplete) {
    apply(R"({"OutboundStats": {"d2001": {"connected": false, "11": {"scanning": true}}}})");
    EXPECT_EQ(destinationText(), "Scanning files...");
    apply(R"({"OutboundStats": {"d2001": {"connected": false}}})");
    EXPECT_EQ(destinationText(), "Waiting for connection — last backup 2 hours ago");
    apply(R"({"OutboundStats": {"d2001": {"connected": false, "11": {"lastBackupTime": 0}}}})");
    EXPECT_EQ(destinationText(), "Waiting for connection");
    apply(R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1}}}})");
    ASSERT_EQ(destination()->stats()->computerStatus(), VTComputerStatusComplete);
    destination()->stats()->setIsConnected(false);
    EXPECT_EQ(destinationText(), "Backup complete!");
}

TEST_F(DestinationStatusText, ValidatingBeatsSelectedForBackup) {
    apply(R"({"OutboundStats": {"d2001": {"validating": true,
                                          "11": {"selectedForBackup": true}}}})");
    EXPECT_EQ(destinationText(), "Synchronizing");
}

TEST_F(DestinationStatusText, SelectedForBackupShowsEstimateAndRate) {
    apply(R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 5000,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 7200}}}})");
    EXPECT_EQ(destinationText(), "About 2 hours left @ 40 kbps");
    apply(R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 5000,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 0}}}})");
    EXPECT_EQ(destinationText(), "Backup running @ 40 kbps");
    apply(R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 4999,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 7200}}}})");
    EXPECT_EQ(destinationText(), "About 2 hours left");
    apply(R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 4999,
              "11": {"selectedForBackup": true, "estimatedTimeRemainingInSec": 0}}}})");
    EXPECT_EQ(destinationText(), "Backup running...");
    apply(R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true, "scanning": true}}}})");
    EXPECT_EQ(destinationText(), "Backing up while scanning");
}

TEST_F(DestinationStatusText, ActualBandwidthShowsTheSendRate) {
    apply(R"({"OutboundStats": {"d2001": {"completedRateInBytesPerSec": 5000,
              "sendRateInBytesPerSec": 125000, "11": {"selectedForBackup": true}}}})");
    EXPECT_EQ(destinationText(), "Backup running @ 40 kbps");
    defaults_.get()->setObject(QStringLiteral("1"), QStringLiteral("displayTransferRateType"));
    EXPECT_EQ(destinationText(), "Backup running @ 1.0 mbps");
}

TEST_F(DestinationStatusText, SelectedAndPausedWithoutItsComputerSaysPleaseWait) {
    apply(R"({"OutboundStats": {"d2001": {"11": {"selectedForBackup": true, "paused": true,
                                                 "resumeTime": 4000003600000}}}})");
    EXPECT_EQ(destinationText(), "Backup paused — resuming in 1 hour");
    // The service drops the destination; its row still holds the statistics until the menu
    // catches up, and with no computer to pause there is nothing to resume.
    VTDestinationStats* orphan = destination()->stats();
    apply(R"({"computers": {"c2001": {"target": false}}})");
    ASSERT_EQ(destination(2001), nullptr);
    EXPECT_EQ(destinationBuilder()->buildStatusTextDict(orphan).value("text"), "Please wait");
}

TEST_F(DestinationStatusText, ScanningBeatsNotReady) {
    apply(R"({"OutboundStats": {"d2001": {"backupReady": false,
              "backupNotReadyCode": "MANIFEST_NOT_INITIALIZED", "11": {"scanning": true}}}})");
    EXPECT_EQ(destinationText(), "Scanning files...");
    EXPECT_EQ(detailsText(), "");
}

TEST_F(DestinationStatusText, NotReadyShowsThePhraseOfItsCode) {
    const QList<QPair<const char*, const char*>> phrases = {
        {"BUSY", "not scheduled to run"},
        {"CAPACITY_REDUCED", "allotted capacity has been reduced"},
        {"DISABLED", "not scheduled to run"},
        {"EXCEPTION", "unknown problem"},
        {"MANIFEST_MAINTENANCE", "backup files are being maintained"},
        {"MANIFEST_MIGRATION_NEEDED", "backup files are being migrated"},
        {"MANIFEST_MOVED", "backup location is being moved"},
        {"MANIFEST_NOT_INITIALIZED", "backup location is not accessible"},
        {"NOT_AVAILABLE", "not available"},
        {"PAUSED", "paused"},
    };
    for (const auto& [code, phrase] : phrases) {
        const QByteArray overlay =
            QStringLiteral(R"({"OutboundStats": {"d2001": {"backupReady": false,
                                                            "backupNotReadyCode": "%1"}}})")
                .arg(QLatin1String(code))
                .toUtf8();
        apply(overlay.constData());
        EXPECT_EQ(destinationText(), QStringLiteral("Destination unavailable — %1").arg(phrase));
    }
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 0);
    apply(R"({"OutboundStats": {"d2001": {"backupReady": false, "backupNotReadyCode": "NEW"}}})");
    EXPECT_EQ(destinationText(), "Destination unavailable — ");
    EXPECT_EQ(recorder_->countContaining("Found 'null'"), 1);
}

TEST_F(DestinationStatusText, NotReadyBeatsComplete) {
    apply(R"({"OutboundStats": {"d2001": {"backupReady": false, "backupNotReadyCode": "PAUSED",
              "11": {"completedRatio": 1, "numRemainingFiles": 0}}}})");
    EXPECT_EQ(destinationText(), "Destination unavailable — paused");
    apply(R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1, "numRemainingFiles": 0}}}})");
    EXPECT_EQ(destinationText(), "Backup complete!");
    // Complete but with files left over goes on to the schedule.
    apply(R"({"OutboundStats": {"d2001": {"11": {"completedRatio": 1, "numRemainingFiles": 2}}}})");
    EXPECT_EQ(destinationText(), "Next backup in 3 hours");
}

TEST_F(DestinationStatusText, WithinTheWindowWaitsWhileAnythingElseIsBusy) {
    apply(R"({"OutboundStats": {"d2002": {"validating": true}}})");
    EXPECT_EQ(destinationText(2001), "Waiting for backup — last backup 2 hours ago");
    EXPECT_EQ(destinationText(2002), "Synchronizing");
    apply(R"({"OutboundStats": {"d2002": {"backingUp": true}}})");
    ASSERT_TRUE(state_.isSending());
    EXPECT_EQ(destinationText(2001), "Waiting for backup — last backup 2 hours ago");
    apply(R"({"OutboundStats": {"d2001": {"11": {"nextBackupTime": 3999999000000,
                                                 "lastBackupTime": 0}}}})");
    EXPECT_EQ(destinationText(), "Waiting for backup");
}

TEST_F(DestinationStatusText, OutsideTheWindowShowsTheSchedule) {
    apply(R"({"OutboundStats": {"d2001": {"11": {"withinSchedule": false,
                                                 "scheduledTime": "10:00 PM"}}}})");
    EXPECT_EQ(destinationText(), "Backup scheduled to begin at 10:00 PM");
    apply(
        R"({"OutboundStats": {"d2001": {"11": {"withinSchedule": false, "scheduledTime": ""}}}})");
    EXPECT_EQ(destinationText(), "Not currently scheduled for backup");
}

TEST_F(DestinationStatusText, DetailsPreferTheFirstFileBeingSent) {
    const char* twoSets = R"({"OutboundStats": {"d2001": {
        "11": {"analyzingFileTodo": {"file": "/home/a.txt", "completionRatio": 0.25},
               "sendingFileTodo": {"file": "", "completionRatio": 0}},
        "12": {"setId": 12, "status": "SAFE", "completedRatio": 0.5,
               "analyzingFileTodo": {"file": "/home/c.txt", "completionRatio": 0.75},
               "sendingFileTodo": {"file": "/home/b.jpg", "completionRatio": 0.5}}}}})";
    apply(twoSets);
    EXPECT_EQ(detailsText(), "Sending: /home/b.jpg (50%)");
}

TEST_F(DestinationStatusText, DetailsShowTheLastFileBeingAnalysed) {
    apply(R"({"OutboundStats": {"d2001": {
        "11": {"analyzingFileTodo": {"file": "/home/a.txt", "completionRatio": 0.25}},
        "12": {"setId": 12, "status": "SAFE",
               "analyzingFileTodo": {"file": "/home/c.txt", "completionRatio": 0.756}}}}})");
    EXPECT_EQ(detailsText(), "Analyzing: /home/c.txt (76%)");
    apply(R"({"OutboundStats": {"d2001": {
        "11": {"sendingFileTodo": {"file": "/home/first.txt", "completionRatio": 1}},
        "12": {"setId": 12, "sendingFileTodo": {"file": "/home/second.txt"}}}}})");
    EXPECT_EQ(detailsText(), "Sending: /home/first.txt (100%)");
}

TEST_F(DestinationStatusText, DetailsCountTheFilesLeft) {
    apply(R"({"OutboundStats": {"d2001": {"11": {"numRemainingFiles": 1234,
                                                 "numRemainingBytes": 0}}}})");
    EXPECT_EQ(detailsText(), "To do: 1,234 files");
    apply(R"({"OutboundStats": {"d2001": {"11": {"numRemainingFiles": 0,
                                                 "numRemainingBytes": 2000000000}}}})");
    EXPECT_EQ(detailsText(), "To do: 0 files (2.0 GB)");
}

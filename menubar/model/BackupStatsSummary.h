#pragma once

#include <QMetaType>
#include <QStringList>

// The legacy statistics summary: fourteen numbers of a token message. Its three points in time
// are milliseconds since 1970: the service is a Java program stamping times with
// System.currentTimeMillis(), as in all its JSON documents (the simulator sends the same), so
// the pause time passes to the state's resumeSystemTime without conversion.
class BackupStatsSummary {
  public:
    // An empty summary: every number 0, status 2 (safe), isEmpty true.
    BackupStatsSummary() = default;
    // Reads the fourteen tokens in order; a token that is not a number reads 0. Throws
    // std::invalid_argument (after a warning) when fewer than fourteen tokens arrive.
    static BackupStatsSummary fromTokens(const QStringList& tokens);

    // Activity bits: 1 sending, 2 receiving, 4 running, 8 restoring, 16 scanning.
    qint64 activities() const { return activities_; }
    qint64 sendingNumRemainingFilesToBackup() const { return sendingNumRemainingFilesToBackup_; }
    qint64 numFilesBackedUp() const { return numFilesBackedUp_; }
    double pauseResumeTime() const { return pauseResumeTime_; }
    // Legacy status code: 0 severe, 1 warning, 2 safe.
    qint32 backupStatus() const { return backupStatus_; }
    qint64 receivingComputer() const { return receivingComputer_; }
    qint64 sendingComputer() const { return sendingComputer_; }
    qint64 restoringFromComputer() const { return restoringFromComputer_; }
    qint64 sendingSendRateInBytesPerSec() const { return sendingSendRateInBytesPerSec_; }
    qint64 sendingNumRemainingBytesToSend() const { return sendingNumRemainingBytesToSend_; }
    qint64 sendingTotalNumBytes() const { return sendingTotalNumBytes_; }
    qint64 sendingTotalNumFiles() const { return sendingTotalNumFiles_; }
    double lastBackupTime() const { return lastBackupTime_; }
    double nextScheduledTime() const { return nextScheduledTime_; }
    bool isEmpty() const { return isEmpty_; }

    bool isSending() const { return activities_ & 1; }
    bool isReceiving() const { return activities_ & 2; }
    bool isRunning() const { return activities_ & 4; }
    bool isRestoringFrom() const { return activities_ & 8; }
    bool isScanning() const { return activities_ & 16; }

    static constexpr qsizetype kTokenCount = 14;

  private:
    qint64 activities_ = 0;
    qint64 sendingNumRemainingFilesToBackup_ = 0;
    qint64 numFilesBackedUp_ = 0;
    double pauseResumeTime_ = 0;
    qint32 backupStatus_ = 2;
    qint64 receivingComputer_ = 0;
    qint64 sendingComputer_ = 0;
    qint64 restoringFromComputer_ = 0;
    qint64 sendingSendRateInBytesPerSec_ = 0;
    qint64 sendingNumRemainingBytesToSend_ = 0;
    qint64 sendingTotalNumBytes_ = 0;
    qint64 sendingTotalNumFiles_ = 0;
    double lastBackupTime_ = 0;
    double nextScheduledTime_ = 0;
    bool isEmpty_ = true;
};

Q_DECLARE_METATYPE(BackupStatsSummary)

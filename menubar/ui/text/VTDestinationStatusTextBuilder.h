#pragma once

#include <QSet>

#include "ui/text/VTComputerStatusTextBuilder.h"

class VTDestination;
class VTDestinationStats;

// Status and details lines of a destination, a computer this computer backs up to. The first
// matching rule of a fixed order gives the status, so that a stronger state (engine paused,
// out of space, offline) is never hidden behind a weaker one.
class VTDestinationStatusTextBuilder : public VTComputerStatusTextBuilder {
    Q_OBJECT
  public:
    // The one destination builder of the process, created on first call.
    static VTDestinationStatusTextBuilder* sharedTextBuilder();

    // stats must be a VTDestinationStats; the result has "text" and "detailsText".
    QVariantMap buildStatusTextDict(const VTComputerStats* stats) override;
    QString buildDetailsText(const VTDestinationStats* stats) const;
    // Some backup set of the state backs up to this destination and has files selected.
    bool hasFilesSelectedForBackup(const VTComputerStats* stats) override;

    void retranslate() override;

    // Whether a disconnect code makes the destination unavailable (it gets its own text).
    bool isDisconnectedError(const QString& code) const {
        return disconnectedErrors_.contains(code);
    }

  private:
    VTDestinationStatusTextBuilder();

    QString VT_statusText(const VTDestinationStats* stats, bool* missing);
    QString VT_disconnectedText(const VTDestinationStats* stats, bool* missing) const;
    QString VT_selectedForBackupText(const VTDestinationStats* stats,
                                     const VTDestination* destination) const;
    QString VT_scheduleText(const VTDestinationStats* stats) const;

    QString statusDetailsTemplate_;
    QString statusDetailsAnalyzing_;
    QString statusDetailsSending_;
    QString statusDOTbackupPaused_;
    QString statusDOTbackupStatus_;
    QString statusDOTnextBackup_;
    QString statusDOToutofspace_;
    QString statusDOTscheduled_;
    QString statusNotScheduled_;
    QString statusDOTvalidating_;
    QString statusDOTwait_;
    QString msgBackingUpWhileScanning_;
    QString msgBackingUpWithTimeEst_;
    QString msgBackingUpWithTimeEstAndRate_;
    QHash<QString, QString> discoCodesMsgs_;
    QSet<QString> disconnectedErrors_;
};

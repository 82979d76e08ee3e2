#pragma once

#include <QList>
#include <QRecursiveMutex>
#include <QSet>

#include "model/VTBackupSetStats.h"
#include "model/VTComputerStats.h"
#include "model/VTUniqueSet.h"

// Statistics of one destination (one value of "OutboundStats"): a few destination-wide values
// and one VTBackupSetStats per backup set, with aggregates over the sets that are recomputed
// after every update and whenever a set's status, completion or remaining time changes.
// Aggregated times are milliseconds since 1970 (0 or -1: none), the remaining time is in
// seconds.
class VTDestinationStats : public VTComputerStats {
    Q_OBJECT
    Q_PROPERTY(
        QList<VTBackupSetStats*> backupSetsStats READ backupSetsStats NOTIFY backupSetsStatsChanged)
    Q_PROPERTY(qint64 remoteArchiveSize READ remoteArchiveSize WRITE setRemoteArchiveSize NOTIFY
                   remoteArchiveSizeChanged)
    Q_PROPERTY(qint64 sendRateInBytesPerSec READ sendRateInBytesPerSec WRITE
                   setSendRateInBytesPerSec NOTIFY sendRateInBytesPerSecChanged)
    Q_PROPERTY(bool maintainingCache READ maintainingCache WRITE setMaintainingCache NOTIFY
                   maintainingCacheChanged)
    Q_PROPERTY(qint64 estimatedTimeRemainingInSec READ estimatedTimeRemainingInSec WRITE
                   setEstimatedTimeRemainingInSec NOTIFY estimatedTimeRemainingInSecChanged)
    Q_PROPERTY(qint64 lastCompletedBackupTime READ lastCompletedBackupTime WRITE
                   setLastCompletedBackupTime NOTIFY lastCompletedBackupTimeChanged)
    Q_PROPERTY(qint64 nextBackupTime READ nextBackupTime WRITE setNextBackupTime NOTIFY
                   nextBackupTimeChanged)
    Q_PROPERTY(qint64 resumeTime READ resumeTime WRITE setResumeTime NOTIFY resumeTimeChanged)
    Q_PROPERTY(
        QString scheduledTime READ scheduledTime WRITE setScheduledTime NOTIFY scheduledTimeChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setIsPaused NOTIFY isPausedChanged)
    Q_PROPERTY(bool isSelectedForBackup READ isSelectedForBackup WRITE setIsSelectedForBackup NOTIFY
                   isSelectedForBackupChanged)
    Q_PROPERTY(bool isWithinScheduledWindow READ isWithinScheduledWindow WRITE
                   setIsWithinScheduledWindow NOTIFY isWithinScheduledWindowChanged)
    Q_PROPERTY(bool anySetSelectedForBackup READ anySetSelectedForBackup)
  public:
    explicit VTDestinationStats(qint64 computerGUID, QObject* parent = nullptr);

    // In the order the sets were first reported.
    const QList<VTBackupSetStats*>& backupSetsStats() const { return backupSetsStats_.items(); }
    qint64 remoteArchiveSize() const { return remoteArchiveSize_; }
    void setRemoteArchiveSize(qint64 value);
    qint64 sendRateInBytesPerSec() const { return sendRateInBytesPerSec_; }
    void setSendRateInBytesPerSec(qint64 value);
    bool maintainingCache() const { return maintainingCache_; }
    void setMaintainingCache(bool value);
    qint64 estimatedTimeRemainingInSec() const { return estimatedTimeRemainingInSec_; }
    void setEstimatedTimeRemainingInSec(qint64 value);
    qint64 lastCompletedBackupTime() const { return lastCompletedBackupTime_; }
    void setLastCompletedBackupTime(qint64 value);
    qint64 nextBackupTime() const { return nextBackupTime_; }
    void setNextBackupTime(qint64 value);
    qint64 resumeTime() const { return resumeTime_; }
    void setResumeTime(qint64 value);
    const QString& scheduledTime() const { return scheduledTime_; }
    void setScheduledTime(const QString& value);
    bool isPaused() const { return isPaused_; }
    void setIsPaused(bool value);
    bool isSelectedForBackup() const { return isSelectedForBackup_; }
    void setIsSelectedForBackup(bool value);
    bool isWithinScheduledWindow() const { return isWithinScheduledWindow_; }
    void setIsWithinScheduledWindow(bool value);
    bool anySetSelectedForBackup() const;
    QSet<qint64> allSetIDs() const;

    // Copies the destination's own keys, creates or updates one set statistics object per
    // nested dictionary with a "setId", recomputes the aggregates and signals lastUpdated.
    // Sets missing from the dictionary are kept. Answers true.
    bool updatePropertiesFromDict(const VTJSONObject& dict) override;

    // The destination owns the added object and recomputes its aggregates whenever the set
    // announces its status, completion or remaining time; a removed object is released
    // (deleted later).
    void addBackupSetsStatsObject(VTBackupSetStats* setStats);
    void removeBackupSetsStatsObject(VTBackupSetStats* setStats);

    void VT_calculateAndSetStatusAndStatsTotals();
    void VT_calculateAndSetCompletionRatio();
    void VT_calculateAndSetComputerStatus();
    void VT_calcAndSetCanPauseResume();

    // value when it is above 0 and below other, else other.
    static qint64 VT_lowerIfNumberNotZero(qint64 value, qint64 other);
    // The value, except 0 for the values near the largest 64-bit number that mean "none".
    static qint64 VT_numberForValueOrZero(qint64 value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void backupSetsStatsChanged();
    void remoteArchiveSizeChanged();
    void sendRateInBytesPerSecChanged();
    void maintainingCacheChanged();
    void estimatedTimeRemainingInSecChanged();
    void lastCompletedBackupTimeChanged();
    void nextBackupTimeChanged();
    void resumeTimeChanged();
    void scheduledTimeChanged();
    void isPausedChanged();
    void isSelectedForBackupChanged();
    void isWithinScheduledWindowChanged();

  private:
    VTBackupSetStats* VT_setStatsForEntry(const QJsonValue& setId);

    // The last completion computation: the sets' ratios it read, its percentage, and the
    // double values compared. Decimal arithmetic is slow, and the computation runs several
    // times per update with the same ratios.
    struct CompletionMemo {
        QList<VTDecimal> ratios;
        VTDecimal percentage;
        double percentageAsDouble = 0;
        VTDecimal stored;
        double storedAsDouble = 0;
        bool valid = false;
    };

    VTUniqueSet<VTBackupSetStats> backupSetsStats_;
    CompletionMemo completionMemo_;
    qint64 remoteArchiveSize_ = 0;
    qint64 sendRateInBytesPerSec_ = 0;
    bool maintainingCache_ = false;
    qint64 estimatedTimeRemainingInSec_ = 0;
    qint64 lastCompletedBackupTime_ = 0;
    qint64 nextBackupTime_ = 0;
    qint64 resumeTime_ = 0;
    QString scheduledTime_ = QStringLiteral("");
    bool isPaused_ = false;
    bool isSelectedForBackup_ = true;
    bool isWithinScheduledWindow_ = true;
    QRecursiveMutex lock_;
};

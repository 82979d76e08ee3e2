#pragma once

#include "model/VTAnalyzingFileToDoStats.h"
#include "model/VTBaseStats.h"
#include "model/VTModelTypes.h"
#include "model/VTSendingFileToDoStats.h"

// Statistics of one backup set towards one destination, identified by its set ID. Times are
// milliseconds since 1970 (-1: none yet), the remaining time is in seconds.
class VTBackupSetStats : public VTBaseStats {
    Q_OBJECT
    Q_PROPERTY(qint64 setID READ setID CONSTANT)
    // A VTBackupStatus: the service's, except that a safe set with files scanned reads complete
    // while it is exactly complete.
    Q_PROPERTY(int status READ status WRITE setStatus NOTIFY statusChanged)
    Q_PROPERTY(qint64 estimatedTimeRemainingInSec READ estimatedTimeRemainingInSec WRITE
                   setEstimatedTimeRemainingInSec NOTIFY estimatedTimeRemainingInSecChanged)
    Q_PROPERTY(qint64 lastCompletedBackupTime READ lastCompletedBackupTime WRITE
                   setLastCompletedBackupTime NOTIFY lastCompletedBackupTimeChanged)
    Q_PROPERTY(qint64 nextBackupTime READ nextBackupTime WRITE setNextBackupTime NOTIFY
                   nextBackupTimeChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setIsPaused NOTIFY isPausedChanged)
    Q_PROPERTY(qint64 resumeTime READ resumeTime WRITE setResumeTime NOTIFY resumeTimeChanged)
    Q_PROPERTY(
        QString scheduledTime READ scheduledTime WRITE setScheduledTime NOTIFY scheduledTimeChanged)
    Q_PROPERTY(bool selectedForBackup READ selectedForBackup WRITE setSelectedForBackup NOTIFY
                   selectedForBackupChanged)
    Q_PROPERTY(bool isWithinScheduledWindow READ isWithinScheduledWindow WRITE
                   setIsWithinScheduledWindow NOTIFY isWithinScheduledWindowChanged)
    Q_PROPERTY(VTAnalyzingFileToDoStats* analyzingFileToDo READ analyzingFileToDo CONSTANT)
    Q_PROPERTY(VTSendingFileToDoStats* sendingFileToDo READ sendingFileToDo CONSTANT)
  public:
    explicit VTBackupSetStats(qint64 setID, QObject* parent = nullptr);

    qint64 setID() const { return setID_; }
    std::optional<qint64> UID() const override { return setID_; }
    int status() const;
    void setStatus(int value);
    // Stores and always announces, having noted whether the ratio is exactly complete.
    void setCompletionRatio(const VTDecimal& ratio) override;
    qint64 estimatedTimeRemainingInSec() const { return estimatedTimeRemainingInSec_; }
    void setEstimatedTimeRemainingInSec(qint64 value);
    qint64 lastCompletedBackupTime() const { return lastCompletedBackupTime_; }
    void setLastCompletedBackupTime(qint64 value);
    qint64 nextBackupTime() const { return nextBackupTime_; }
    void setNextBackupTime(qint64 value);
    bool isPaused() const { return isPaused_; }
    void setIsPaused(bool value);
    qint64 resumeTime() const { return resumeTime_; }
    void setResumeTime(qint64 value);
    const QString& scheduledTime() const { return scheduledTime_; }
    void setScheduledTime(const QString& value);
    bool selectedForBackup() const { return selectedForBackup_; }
    void setSelectedForBackup(bool value);
    bool isWithinScheduledWindow() const { return isWithinScheduledWindow_; }
    void setIsWithinScheduledWindow(bool value);
    VTAnalyzingFileToDoStats* analyzingFileToDo() const { return analyzingFileToDo_; }
    VTSendingFileToDoStats* sendingFileToDo() const { return sendingFileToDo_; }

    // Copies the keys, then the status (announced only when it changes) and the two file
    // progress dictionaries. Answers true.
    bool updatePropertiesFromDict(const VTJSONObject& dict) override;

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void statusChanged();
    void estimatedTimeRemainingInSecChanged();
    void lastCompletedBackupTimeChanged();
    void nextBackupTimeChanged();
    void isPausedChanged();
    void resumeTimeChanged();
    void scheduledTimeChanged();
    void selectedForBackupChanged();
    void isWithinScheduledWindowChanged();

  private:
    qint64 setID_;
    int status_ = VTBackupStatusUnknown;
    // Whether the completion ratio is exactly 1. The status getter asks on every read, and the
    // destination reads every set's status each time one of its sets changes.
    bool fullyComplete_ = false;
    qint64 estimatedTimeRemainingInSec_ = -1;
    qint64 lastCompletedBackupTime_ = -1;
    qint64 nextBackupTime_ = -1;
    bool isPaused_ = false;
    qint64 resumeTime_ = 0;
    QString scheduledTime_;
    bool selectedForBackup_ = false;
    bool isWithinScheduledWindow_ = true;
    VTAnalyzingFileToDoStats* analyzingFileToDo_;
    VTSendingFileToDoStats* sendingFileToDo_;
};

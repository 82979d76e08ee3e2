#include "model/VTBackupSetStats.h"

#include "model/VTModelUtils.h"
#include "model/VTStoreAndAnnounce.h"

VTBackupSetStats::VTBackupSetStats(qint64 setID, QObject* parent)
    : VTBaseStats(parent),
      setID_(setID),
      analyzingFileToDo_(new VTAnalyzingFileToDoStats(this)),
      sendingFileToDo_(new VTSendingFileToDoStats(this)) {
    setPrime(37);
}

int VTBackupSetStats::status() const {
    // "Complete" is never sent: a safe set is complete while every scanned file is backed up.
    // Derived on each read rather than stored, so that a set whose ratio falls again (new
    // files) reads safe without waiting for the service to repeat its status.
    if (status_ == VTBackupStatusSafe && numFilesScanned() != 0 && fullyComplete_) {
        return VTBackupStatusComplete;
    }
    return status_;
}

void VTBackupSetStats::setCompletionRatio(const VTDecimal& ratio) {
    storeCompletionRatio(ratio);
    fullyComplete_ = ratio * VTDecimal(100) == VTDecimal(100);
    emit completionRatioChanged();
}

void VTBackupSetStats::setStatus(int value) {
    VTStoreAndAnnounce<&VTBackupSetStats::statusChanged>(status_, value, this);
}

void VTBackupSetStats::setEstimatedTimeRemainingInSec(qint64 value) {
    VTStoreAndAnnounce<&VTBackupSetStats::estimatedTimeRemainingInSecChanged>(
        estimatedTimeRemainingInSec_, value, this);
}

void VTBackupSetStats::setLastCompletedBackupTime(qint64 value) {
    VTStoreAndAnnounce<&VTBackupSetStats::lastCompletedBackupTimeChanged>(lastCompletedBackupTime_,
                                                                          value, this);
}

void VTBackupSetStats::setNextBackupTime(qint64 value) {
    VTStoreAndAnnounce<&VTBackupSetStats::nextBackupTimeChanged>(nextBackupTime_, value, this);
}

void VTBackupSetStats::setIsPaused(bool value) {
    VTStoreAndAnnounce<&VTBackupSetStats::isPausedChanged>(isPaused_, value, this);
}

void VTBackupSetStats::setResumeTime(qint64 value) {
    VTStoreAndAnnounce<&VTBackupSetStats::resumeTimeChanged>(resumeTime_, value, this);
}

void VTBackupSetStats::setScheduledTime(const QString& value) {
    VTStoreAndAnnounce<&VTBackupSetStats::scheduledTimeChanged>(scheduledTime_, value, this);
}

void VTBackupSetStats::setSelectedForBackup(bool value) {
    VTStoreAndAnnounce<&VTBackupSetStats::selectedForBackupChanged>(selectedForBackup_, value,
                                                                    this);
}

void VTBackupSetStats::setIsWithinScheduledWindow(bool value) {
    VTStoreAndAnnounce<&VTBackupSetStats::isWithinScheduledWindowChanged>(isWithinScheduledWindow_,
                                                                          value, this);
}

bool VTBackupSetStats::updatePropertiesFromDict(const VTJSONObject& dict) {
    VTBaseStats::updatePropertiesFromDict(dict);
    // A value that is no text reads as an empty one, so as an unknown status.
    const std::optional<QString> text = dict.string(QLatin1StringView("status"));
    const QJsonValue statusValue = text ? QJsonValue() : dict.value(QLatin1StringView("status"));
    if (text || (!statusValue.isUndefined() && !statusValue.isNull())) {
        const int newStatus = VTModelUtils::stringToBackupStatus(text.value_or(QString()));
        if (newStatus != status_) {
            setStatus(newStatus);
        }
    }
    if (const auto analyzing = dict.object(QLatin1StringView("analyzingFileTodo"))) {
        analyzingFileToDo_->updatePropertiesFromDict(*analyzing);
    }
    if (const auto sending = dict.object(QLatin1StringView("sendingFileTodo"))) {
        sendingFileToDo_->updatePropertiesFromDict(*sending);
    }
    return true;
}

const VTKeyTable& VTBackupSetStats::classKeyTable() {
    static const VTKeyTable table =
        VTKeyTable(VTBaseStats::classKeyTable(), staticMetaObject)
            .add("completionRatio", QStringLiteral("completedRatio"))
            .add("estimatedTimeRemainingInSec", QStringLiteral("estimatedTimeRemainingInSec"))
            .add("lastCompletedBackupTime", QStringLiteral("lastCompletedBackupTime"))
            .add("nextBackupTime", QStringLiteral("nextBackupTime"))
            .add("isPaused", QStringLiteral("paused"))
            .add("resumeTime", QStringLiteral("resumeTime"))
            .add("scheduledTime", QStringLiteral("scheduledTime"))
            .add("selectedForBackup", QStringLiteral("selectedForBackup"))
            .add("isWithinScheduledWindow", QStringLiteral("withinSchedule"));
    return table;
}

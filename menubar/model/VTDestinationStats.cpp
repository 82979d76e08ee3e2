#include "model/VTDestinationStats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <limits>

#include "model/VTModelUtils.h"
#include "model/VTStoreAndAnnounce.h"

namespace {

constexpr qint64 kNone = std::numeric_limits<qint64>::max();

}  // namespace

VTDestinationStats::VTDestinationStats(qint64 computerGUID, QObject* parent)
    : VTComputerStats(computerGUID, parent) {
    setPrime(19);
}

void VTDestinationStats::setRemoteArchiveSize(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::remoteArchiveSizeChanged>(remoteArchiveSize_, value,
                                                                      this);
}

void VTDestinationStats::setSendRateInBytesPerSec(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::sendRateInBytesPerSecChanged>(sendRateInBytesPerSec_,
                                                                          value, this);
}

void VTDestinationStats::setMaintainingCache(bool value) {
    VTStoreAndAnnounce<&VTDestinationStats::maintainingCacheChanged>(maintainingCache_, value,
                                                                     this);
}

void VTDestinationStats::setEstimatedTimeRemainingInSec(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::estimatedTimeRemainingInSecChanged>(
        estimatedTimeRemainingInSec_, value, this);
}

void VTDestinationStats::setLastCompletedBackupTime(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::lastCompletedBackupTimeChanged>(
        lastCompletedBackupTime_, value, this);
}

void VTDestinationStats::setNextBackupTime(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::nextBackupTimeChanged>(nextBackupTime_, value, this);
}

void VTDestinationStats::setResumeTime(qint64 value) {
    VTStoreAndAnnounce<&VTDestinationStats::resumeTimeChanged>(resumeTime_, value, this);
}

void VTDestinationStats::setScheduledTime(const QString& value) {
    VTStoreAndAnnounce<&VTDestinationStats::scheduledTimeChanged>(scheduledTime_, value, this);
}

void VTDestinationStats::setIsPaused(bool value) {
    VTStoreAndAnnounce<&VTDestinationStats::isPausedChanged>(isPaused_, value, this);
}

void VTDestinationStats::setIsSelectedForBackup(bool value) {
    VTStoreAndAnnounce<&VTDestinationStats::isSelectedForBackupChanged>(isSelectedForBackup_, value,
                                                                        this);
}

void VTDestinationStats::setIsWithinScheduledWindow(bool value) {
    VTStoreAndAnnounce<&VTDestinationStats::isWithinScheduledWindowChanged>(
        isWithinScheduledWindow_, value, this);
}

bool VTDestinationStats::anySetSelectedForBackup() const {
    for (const VTBackupSetStats* setStats : backupSetsStats_) {
        if (setStats->selectedForBackup()) {
            return true;
        }
    }
    return false;
}

QSet<qint64> VTDestinationStats::allSetIDs() const {
    QSet<qint64> ids;
    for (const VTBackupSetStats* setStats : backupSetsStats_) {
        ids.insert(setStats->setID());
    }
    return ids;
}

bool VTDestinationStats::updatePropertiesFromDict(const VTJSONObject& dict) {
    VTComputerStats::updatePropertiesFromDict(dict);
    setIsEmpty(false);
    for (const VTJSONObject& setDict : dict.objects()) {
        const QJsonValue setId = setDict.value(QLatin1StringView("setId"));
        if (setId.isUndefined()) {
            continue;
        }
        if (VTBackupSetStats* setStats = VT_setStatsForEntry(setId)) {
            setStats->updatePropertiesFromDict(setDict);
        }
    }
    VT_calculateAndSetStatusAndStatsTotals();
    setLastUpdated(VTModelUtils::currentTimeInSeconds());
    setIsEmpty(false);
    return true;
}

VTBackupSetStats* VTDestinationStats::VT_setStatsForEntry(const QJsonValue& setId) {
    if (!setId.isDouble() && !setId.isString()) {
        log()->severe(QStringLiteral("Why is this not an NSNumber??: %1")
                          .arg(QString::fromUtf8(
                              QJsonDocument(QJsonArray{setId}).toJson(QJsonDocument::Compact))));
        return nullptr;
    }
    const std::optional<qint64> identity = VTModelUtils::identityFromJSON(setId);
    if (!identity) {
        // 0, a fraction or a number beyond 64 bits names no set; such statistics could never be
        // told apart.
        log()->warning(QStringLiteral("Ignoring set statistics without a usable \"setId\""));
        return nullptr;
    }
    const qint64 id = *identity;
    VTBackupSetStats* existing =
        backupSetsStats_.itemMatching([id](VTBackupSetStats* s) { return s->setID() == id; });
    if (existing) {
        return existing;
    }
    auto* created = new VTBackupSetStats(id, this);
    addBackupSetsStatsObject(created);
    return created;
}

void VTDestinationStats::addBackupSetsStatsObject(VTBackupSetStats* setStats) {
    if (!setStats || !backupSetsStats_.insert(setStats)) {
        return;
    }
    setStats->setParent(this);
    // Connected to the three signals themselves rather than observed by property name: the
    // destination needs no value read for it, and these run for every set on every update.
    const auto recompute = [this] { VT_calculateAndSetStatusAndStatsTotals(); };
    connect(setStats, &VTBackupSetStats::statusChanged, this, recompute);
    connect(setStats, &VTBackupSetStats::completionRatioChanged, this, recompute);
    connect(setStats, &VTBackupSetStats::estimatedTimeRemainingInSecChanged, this, recompute);
    emit backupSetsStatsChanged();
}

void VTDestinationStats::removeBackupSetsStatsObject(VTBackupSetStats* setStats) {
    VTBackupSetStats* member = setStats ? backupSetsStats_.remove(setStats) : nullptr;
    if (!member) {
        return;
    }
    disconnect(member, nullptr, this, nullptr);
    member->deleteLater();
    emit backupSetsStatsChanged();
}

void VTDestinationStats::VT_calculateAndSetStatusAndStatsTotals() {
    QMutexLocker locker(&lock_);
    const QList<VTBackupSetStats*> sets = backupSetsStats_.items();

    bool paused = true;
    for (const VTBackupSetStats* setStats : sets) {
        if (!setStats->isPaused()) {
            paused = false;
            break;
        }
    }

    bool withinWindow = false;
    for (const VTBackupSetStats* setStats : sets) {
        if (setStats->isWithinScheduledWindow()) {
            withinWindow = true;
            break;
        }
        setScheduledTime(setStats->scheduledTime());
        log()->finer([setStats] {
            return QStringLiteral("Set ID %1 is NOT scheduled to run").arg(setStats->setID());
        });
    }

    qint64 bytesScanned = 0;
    qint64 filesScanned = 0;
    qint64 remainingBytes = 0;
    qint64 remainingFiles = 0;
    qint64 timeRemaining = 0;
    bool scanning = false;
    bool selected = false;
    qint64 nextBackup = kNone;
    qint64 resume = kNone;
    qint64 lastCompleted = -1;
    qint64 lastBackup = -1;
    for (const VTBackupSetStats* setStats : sets) {
        // Saturated: the service's numbers are any 64-bit values, and a sum that wrapped
        // around would show a huge backlog as none at all.
        bytesScanned = VTModelUtils::saturatingAdd(bytesScanned, setStats->numBytesScanned());
        filesScanned = VTModelUtils::saturatingAdd(filesScanned, setStats->numFilesScanned());
        remainingBytes = VTModelUtils::saturatingAdd(remainingBytes, setStats->numRemainingBytes());
        remainingFiles = VTModelUtils::saturatingAdd(remainingFiles, setStats->numRemainingFiles());
        // A set without an estimate (-1) adds nothing rather than taking a second off the rest.
        if (setStats->estimatedTimeRemainingInSec() > 0) {
            timeRemaining =
                VTModelUtils::saturatingAdd(timeRemaining, setStats->estimatedTimeRemainingInSec());
        }
        scanning = scanning || setStats->isScanning();
        selected = selected || setStats->selectedForBackup();
        if (!setStats->isPaused()) {
            nextBackup = VT_lowerIfNumberNotZero(setStats->nextBackupTime(), nextBackup);
        }
        resume = VT_lowerIfNumberNotZero(setStats->resumeTime(), resume);
        lastCompleted = std::max(lastCompleted, setStats->lastCompletedBackupTime());
        lastBackup = std::max(lastBackup, setStats->lastBackupTime());
    }

    setEstimatedTimeRemainingInSec(timeRemaining);
    setNumBytesScanned(bytesScanned);
    setNumFilesScanned(filesScanned);
    setNumRemainingBytes(remainingBytes);
    setNumRemainingFiles(remainingFiles);
    setResumeTime(VT_numberForValueOrZero(resume));
    setIsScanning(scanning);
    setIsPaused(paused);
    setIsSelectedForBackup(selected);
    setIsWithinScheduledWindow(withinWindow);
    setLastCompletedBackupTime(VT_numberForValueOrZero(lastCompleted));
    setLastBackupTime(VT_numberForValueOrZero(lastBackup));
    setNextBackupTime(VT_numberForValueOrZero(nextBackup));

    VT_calculateAndSetCompletionRatio();
    VT_calculateAndSetComputerStatus();
    VT_calcAndSetCanPauseResume();
}

qint64 VTDestinationStats::VT_lowerIfNumberNotZero(qint64 value, qint64 other) {
    return value > 0 && value < other ? value : other;
}

qint64 VTDestinationStats::VT_numberForValueOrZero(qint64 value) {
    return VTModelUtils::valueOrZeroIfNone(value);
}

void VTDestinationStats::VT_calculateAndSetCompletionRatio() {
    CompletionMemo& memo = completionMemo_;
    bool sameRatios = memo.valid && memo.ratios.size() == backupSetsStats_.size();
    for (qsizetype i = 0; sameRatios && i < memo.ratios.size(); ++i) {
        sameRatios = memo.ratios[i].isIdenticalTo(backupSetsStats_.items()[i]->completionRatio());
    }
    if (!sameRatios) {
        memo.ratios.clear();
        VTDecimal sum;
        for (const VTBackupSetStats* setStats : backupSetsStats_) {
            memo.ratios.append(setStats->completionRatio());
            sum = sum + setStats->completionRatio();
        }
        if (!backupSetsStats_.isEmpty()) {
            sum = sum / VTDecimal(backupSetsStats_.size());
        }
        memo.percentage = sum * VTDecimal(100);
        memo.percentageAsDouble = memo.percentage.toDouble();
        memo.valid = true;
    }
    if (!memo.stored.isIdenticalTo(completionRatio())) {
        memo.stored = completionRatio();
        memo.storedAsDouble = memo.stored.toDouble();
    }
    if (memo.percentageAsDouble == memo.storedAsDouble) {
        return;
    }
    storeCompletionRatio(memo.percentage);
    emit completionRatioChanged();
}

void VTDestinationStats::VT_calculateAndSetComputerStatus() {
    if (!isConnected()) {
        setComputerStatus(VTComputerStatusOffline);
        return;
    }
    int worst = VTBackupStatusComplete;
    for (const VTBackupSetStats* setStats : backupSetsStats_) {
        worst = std::min(worst, setStats->status());
    }
    if (outOfSpace()) {
        setComputerStatus(VTComputerStatusSevere);
        return;
    }
    switch (worst) {
        case VTBackupStatusSevere:
            setComputerStatus(VTComputerStatusSevere);
            break;
        case VTBackupStatusWarning:
            setComputerStatus(VTComputerStatusWarning);
            break;
        case VTBackupStatusSafe:
            setComputerStatus(VTComputerStatusSafe);
            break;
        case VTBackupStatusComplete:
            setComputerStatus(VTComputerStatusComplete);
            break;
        default:
            setComputerStatus(VTComputerStatusUnknown);
            break;
    }
}

void VTDestinationStats::VT_calcAndSetCanPauseResume() {
    if (isBackingUp()) {
        setCanPauseResume(true);
    } else if (!isConnected() || outOfSpace() || !backupReady()) {
        setCanPauseResume(false);
    } else if (computerStatus() == VTComputerStatusComplete && numRemainingFiles() == 0) {
        setCanPauseResume(false);
    } else if (!isWithinScheduledWindow()) {
        setCanPauseResume(false);
    } else {
        setCanPauseResume(numFilesScanned() != 0);
    }
}

const VTKeyTable& VTDestinationStats::classKeyTable() {
    // The counters, times and scanning flag are aggregates over the sets, never read from the
    // destination's own dictionary.
    static const VTKeyTable table =
        VTKeyTable(VTComputerStats::classKeyTable(), staticMetaObject)
            .add("remoteArchiveSize", QStringLiteral("remoteArchiveSize"))
            .add("sendRateInBytesPerSec", QStringLiteral("sendRateInBytesPerSec"))
            .add("maintainingCache", QStringLiteral("maintainingCache"))
            .remove("lastBackupTime")
            .remove("numBytesScanned")
            .remove("numFilesScanned")
            .remove("numRemainingBytes")
            .remove("numRemainingFiles")
            .remove("resumeTime")
            .remove("isScanning");
    return table;
}

#include "model/VTComputerStats.h"

#include "model/VTStoreAndAnnounce.h"

VTComputerStats::VTComputerStats(qint64 computerGUID, QObject* parent)
    : VTBaseStats(parent), computerGUID_(computerGUID) {
    setPrime(31);
}

void VTComputerStats::setIsBackingUp(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::isBackingUpChanged>(isBackingUp_, value, this);
}

void VTComputerStats::setBackupReady(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::backupReadyChanged>(backupReady_, value, this);
}

void VTComputerStats::setBackupNotReadyCode(const QString& value) {
    VTStoreAndAnnounce<&VTComputerStats::backupNotReadyCodeChanged>(backupNotReadyCode_, value,
                                                                    this);
}

void VTComputerStats::setEffectiveTransferRate(qint64 value) {
    VTStoreAndAnnounce<&VTComputerStats::effectiveTransferRateChanged>(effectiveTransferRate_,
                                                                       value, this);
}

void VTComputerStats::setIsConnected(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::isConnectedChanged>(isConnected_, value, this);
}

void VTComputerStats::setDisconnectedCode(const QString& value) {
    VTStoreAndAnnounce<&VTComputerStats::disconnectedCodeChanged>(disconnectedCode_, value, this);
}

void VTComputerStats::setIsMaintaining(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::isMaintainingChanged>(isMaintaining_, value, this);
}

void VTComputerStats::setOutOfSpace(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::outOfSpaceChanged>(outOfSpace_, value, this);
}

void VTComputerStats::setIsValidating(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::isValidatingChanged>(isValidating_, value, this);
}

void VTComputerStats::setComputerStatus(int value) {
    VTStoreAndAnnounce<&VTComputerStats::computerStatusChanged>(computerStatus_, value, this);
}

void VTComputerStats::setIsEmpty(bool value) {
    VTStoreAndAnnounce<&VTComputerStats::isEmptyChanged>(isEmpty_, value, this);
}

void VTComputerStats::setLastUpdated(qint64 seconds) {
    lastUpdated_ = seconds;
    calcAndSetIsActive();
    emit lastUpdatedChanged();
}

void VTComputerStats::calcAndSetIsActive() {
    isActive_ = isBackingUp_ || isScanning() || isValidating_ || isMaintaining_;
    emit isActiveChanged();
}

void VTComputerStats::setCanPauseResume(bool value) {
    if (canPauseResume_ == value) {
        return;
    }
    canPauseResume_ = value;
    emit canPauseResumeChanged();
}

const VTKeyTable& VTComputerStats::classKeyTable() {
    static const VTKeyTable table =
        VTKeyTable(VTBaseStats::classKeyTable(), staticMetaObject)
            .add("isBackingUp", QStringLiteral("backingUp"))
            .add("backupReady", QStringLiteral("backupReady"))
            .add("backupNotReadyCode", QStringLiteral("backupNotReadyCode"))
            .add("effectiveTransferRate", QStringLiteral("completedRateInBytesPerSec"))
            .add("isConnected", QStringLiteral("connected"))
            .add("disconnectedCode", QStringLiteral("disconnectedCode"))
            .add("isMaintaining", QStringLiteral("maintaining"))
            .add("outOfSpace", QStringLiteral("outOfSpace"))
            .add("isValidating", QStringLiteral("validating"));
    return table;
}

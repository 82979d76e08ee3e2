#include "model/VTComputerStats.h"

#include "model/VTStoreAndAnnounce.h"

VTComputerStats::VTComputerStats(qint64 computerGUID, QObject* parent)
    : VTBaseStats(parent), computerGUID_(computerGUID) {
    setPrime(31);
}

void VTComputerStats::setIsBackingUp(bool value) {
    VTStoreAndAnnounce(isBackingUp_, value, this, &VTComputerStats::isBackingUpChanged);
}

void VTComputerStats::setBackupReady(bool value) {
    VTStoreAndAnnounce(backupReady_, value, this, &VTComputerStats::backupReadyChanged);
}

void VTComputerStats::setBackupNotReadyCode(const QString& value) {
    VTStoreAndAnnounce(backupNotReadyCode_, value, this,
                       &VTComputerStats::backupNotReadyCodeChanged);
}

void VTComputerStats::setEffectiveTransferRate(qint64 value) {
    VTStoreAndAnnounce(effectiveTransferRate_, value, this,
                       &VTComputerStats::effectiveTransferRateChanged);
}

void VTComputerStats::setIsConnected(bool value) {
    VTStoreAndAnnounce(isConnected_, value, this, &VTComputerStats::isConnectedChanged);
}

void VTComputerStats::setDisconnectedCode(const QString& value) {
    VTStoreAndAnnounce(disconnectedCode_, value, this, &VTComputerStats::disconnectedCodeChanged);
}

void VTComputerStats::setIsMaintaining(bool value) {
    VTStoreAndAnnounce(isMaintaining_, value, this, &VTComputerStats::isMaintainingChanged);
}

void VTComputerStats::setOutOfSpace(bool value) {
    VTStoreAndAnnounce(outOfSpace_, value, this, &VTComputerStats::outOfSpaceChanged);
}

void VTComputerStats::setIsValidating(bool value) {
    VTStoreAndAnnounce(isValidating_, value, this, &VTComputerStats::isValidatingChanged);
}

void VTComputerStats::setComputerStatus(int value) {
    VTStoreAndAnnounce(computerStatus_, value, this, &VTComputerStats::computerStatusChanged);
}

void VTComputerStats::setIsEmpty(bool value) {
    VTStoreAndAnnounce(isEmpty_, value, this, &VTComputerStats::isEmptyChanged);
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

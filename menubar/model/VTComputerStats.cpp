#include "model/VTComputerStats.h"

VTComputerStats::VTComputerStats(qint64 computerGUID, QObject* parent)
    : VTBaseStats(parent), computerGUID_(computerGUID) {
    setPrime(31);
}

void VTComputerStats::setIsBackingUp(bool value) {
    isBackingUp_ = value;
    emit isBackingUpChanged();
}

void VTComputerStats::setBackupReady(bool value) {
    backupReady_ = value;
    emit backupReadyChanged();
}

void VTComputerStats::setBackupNotReadyCode(const QString& value) {
    backupNotReadyCode_ = value;
    emit backupNotReadyCodeChanged();
}

void VTComputerStats::setEffectiveTransferRate(qint64 value) {
    effectiveTransferRate_ = value;
    emit effectiveTransferRateChanged();
}

void VTComputerStats::setIsConnected(bool value) {
    isConnected_ = value;
    emit isConnectedChanged();
}

void VTComputerStats::setDisconnectedCode(const QString& value) {
    disconnectedCode_ = value;
    emit disconnectedCodeChanged();
}

void VTComputerStats::setIsMaintaining(bool value) {
    isMaintaining_ = value;
    emit isMaintainingChanged();
}

void VTComputerStats::setOutOfSpace(bool value) {
    outOfSpace_ = value;
    emit outOfSpaceChanged();
}

void VTComputerStats::setIsValidating(bool value) {
    isValidating_ = value;
    emit isValidatingChanged();
}

void VTComputerStats::setComputerStatus(int value) {
    computerStatus_ = value;
    emit computerStatusChanged();
}

void VTComputerStats::setIsEmpty(bool value) {
    isEmpty_ = value;
    emit isEmptyChanged();
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

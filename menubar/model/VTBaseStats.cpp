#include "model/VTBaseStats.h"

void VTBaseStats::setCompletionRatio(const VTDecimal& ratio) {
    completionRatio_ = ratio;
    emit completionRatioChanged();
}

void VTBaseStats::setIsScanning(bool value) {
    isScanning_ = value;
    emit isScanningChanged();
}

void VTBaseStats::setLastBackupTime(qint64 value) {
    lastBackupTime_ = value;
    emit lastBackupTimeChanged();
}

void VTBaseStats::setNumBytesScanned(qint64 value) {
    numBytesScanned_ = value;
    emit numBytesScannedChanged();
}

void VTBaseStats::setNumFilesScanned(qint64 value) {
    numFilesScanned_ = value;
    emit numFilesScannedChanged();
}

void VTBaseStats::setNumRemainingBytes(qint64 value) {
    numRemainingBytes_ = value;
    emit numRemainingBytesChanged();
}

void VTBaseStats::setNumRemainingFiles(qint64 value) {
    numRemainingFiles_ = value;
    emit numRemainingFilesChanged();
}

const VTKeyTable& VTBaseStats::classKeyTable() {
    static const VTKeyTable table =
        VTKeyTable(VTSelfObserver::classKeyTable(), staticMetaObject)
            .add("isScanning", QStringLiteral("scanning"))
            .add("lastBackupTime", QStringLiteral("lastBackupTime"))
            .add("numBytesScanned", QStringLiteral("numBytesScanned"))
            .add("numFilesScanned", QStringLiteral("numFilesScanned"))
            .add("numRemainingBytes", QStringLiteral("numRemainingBytes"))
            .add("numRemainingFiles", QStringLiteral("numRemainingFiles"));
    return table;
}

#include "model/VTBaseStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTBaseStats::setCompletionRatio(const VTDecimal& ratio) {
    VTStoreAndAnnounce(completionRatio_, ratio, this, &VTBaseStats::completionRatioChanged);
}

void VTBaseStats::setIsScanning(bool value) {
    VTStoreAndAnnounce(isScanning_, value, this, &VTBaseStats::isScanningChanged);
}

void VTBaseStats::setLastBackupTime(qint64 value) {
    VTStoreAndAnnounce(lastBackupTime_, value, this, &VTBaseStats::lastBackupTimeChanged);
}

void VTBaseStats::setNumBytesScanned(qint64 value) {
    VTStoreAndAnnounce(numBytesScanned_, value, this, &VTBaseStats::numBytesScannedChanged);
}

void VTBaseStats::setNumFilesScanned(qint64 value) {
    VTStoreAndAnnounce(numFilesScanned_, value, this, &VTBaseStats::numFilesScannedChanged);
}

void VTBaseStats::setNumRemainingBytes(qint64 value) {
    VTStoreAndAnnounce(numRemainingBytes_, value, this, &VTBaseStats::numRemainingBytesChanged);
}

void VTBaseStats::setNumRemainingFiles(qint64 value) {
    VTStoreAndAnnounce(numRemainingFiles_, value, this, &VTBaseStats::numRemainingFilesChanged);
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

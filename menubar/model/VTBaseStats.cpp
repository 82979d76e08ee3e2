#include "model/VTBaseStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTBaseStats::setCompletionRatio(const VTDecimal& ratio) {
    VTStoreAndAnnounce<&VTBaseStats::completionRatioChanged>(completionRatio_, ratio, this);
}

void VTBaseStats::setIsScanning(bool value) {
    VTStoreAndAnnounce<&VTBaseStats::isScanningChanged>(isScanning_, value, this);
}

void VTBaseStats::setLastBackupTime(qint64 value) {
    VTStoreAndAnnounce<&VTBaseStats::lastBackupTimeChanged>(lastBackupTime_, value, this);
}

void VTBaseStats::setNumBytesScanned(qint64 value) {
    VTStoreAndAnnounce<&VTBaseStats::numBytesScannedChanged>(numBytesScanned_, value, this);
}

void VTBaseStats::setNumFilesScanned(qint64 value) {
    VTStoreAndAnnounce<&VTBaseStats::numFilesScannedChanged>(numFilesScanned_, value, this);
}

void VTBaseStats::setNumRemainingBytes(qint64 value) {
    VTStoreAndAnnounce<&VTBaseStats::numRemainingBytesChanged>(numRemainingBytes_, value, this);
}

void VTBaseStats::setNumRemainingFiles(qint64 value) {
    VTStoreAndAnnounce<&VTBaseStats::numRemainingFilesChanged>(numRemainingFiles_, value, this);
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

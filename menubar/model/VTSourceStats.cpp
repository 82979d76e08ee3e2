#include "model/VTSourceStats.h"

#include "model/VTModelUtils.h"
#include "model/VTStoreAndAnnounce.h"

VTSourceStats::VTSourceStats(qint64 computerGUID, QObject* parent)
    : VTComputerStats(computerGUID, parent) {
    setPrime(17);
    addAction(QStringLiteral("VT_calculateAndSetComputerStatus"), QStringLiteral("lastUpdated"),
              [this] { VT_calculateAndSetComputerStatus(); });
}

void VTSourceStats::setArchiveSize(qint64 value) {
    VTStoreAndAnnounce<&VTSourceStats::archiveSizeChanged>(archiveSize_, value, this);
}

void VTSourceStats::setReceiveRateInBytesPerSec(qint64 value) {
    VTStoreAndAnnounce<&VTSourceStats::receiveRateInBytesPerSecChanged>(receiveRateInBytesPerSec_,
                                                                        value, this);
}

void VTSourceStats::setCompletionRatio(const VTDecimal& fraction) {
    const VTDecimal percentage = fraction * VTDecimal(100);
    if (percentage.toDouble() == completionRatio().toDouble()) {
        return;
    }
    storeCompletionRatio(percentage);
    emit completionRatioChanged();
}

bool VTSourceStats::updatePropertiesFromDict(const VTJSONObject& dict) {
    const bool allPresent = VTComputerStats::updatePropertiesFromDict(dict);
    setIsEmpty(false);
    setLastUpdated(VTModelUtils::currentTimeInSeconds());
    return allPresent;
}

void VTSourceStats::VT_calculateAndSetComputerStatus() {
    if (!isConnected()) {
        setComputerStatus(VTComputerStatusOffline);
    } else if (completionRatio() == VTDecimal(100)) {
        setComputerStatus(VTComputerStatusComplete);
    } else {
        setComputerStatus(VTComputerStatusSafe);
    }
}

const VTKeyTable& VTSourceStats::classKeyTable() {
    static const VTKeyTable table =
        VTKeyTable(VTComputerStats::classKeyTable(), staticMetaObject)
            .add("archiveSize", QStringLiteral("archiveSize"))
            .add("receiveRateInBytesPerSec", QStringLiteral("receiveRateInBytesPerSec"))
            .add("completionRatio", QStringLiteral("completedRatio"));
    return table;
}

#include "model/VTRestoreStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTRestoreStats::setRestoreID(qint64 value) {
    VTStoreAndAnnounce(restoreID_, value, this, &VTRestoreStats::restoreIDChanged);
}

void VTRestoreStats::setIsRestoring(bool value) {
    VTStoreAndAnnounce(isRestoring_, value, this, &VTRestoreStats::isRestoringChanged);
}

void VTRestoreStats::setSourceGUID(qint64 value) {
    VTStoreAndAnnounce(sourceGUID_, value, this, &VTRestoreStats::sourceGUIDChanged);
}

void VTRestoreStats::setTargetGUID(qint64 value) {
    VTStoreAndAnnounce(targetGUID_, value, this, &VTRestoreStats::targetGUIDChanged);
}

const VTKeyTable& VTRestoreStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("restoreID", QStringLiteral("id"))
                                        .add("isRestoring", QStringLiteral("restoring"))
                                        .add("sourceGUID", QStringLiteral("sourceGuid"))
                                        .add("targetGUID", QStringLiteral("targetGuid"));
    return table;
}

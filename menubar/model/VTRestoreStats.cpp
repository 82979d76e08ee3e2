#include "model/VTRestoreStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTRestoreStats::setRestoreID(qint64 value) {
    VTStoreAndAnnounce<&VTRestoreStats::restoreIDChanged>(restoreID_, value, this);
}

void VTRestoreStats::setIsRestoring(bool value) {
    VTStoreAndAnnounce<&VTRestoreStats::isRestoringChanged>(isRestoring_, value, this);
}

void VTRestoreStats::setSourceGUID(qint64 value) {
    VTStoreAndAnnounce<&VTRestoreStats::sourceGUIDChanged>(sourceGUID_, value, this);
}

void VTRestoreStats::setTargetGUID(qint64 value) {
    VTStoreAndAnnounce<&VTRestoreStats::targetGUIDChanged>(targetGUID_, value, this);
}

const VTKeyTable& VTRestoreStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("restoreID", QStringLiteral("id"))
                                        .add("isRestoring", QStringLiteral("restoring"))
                                        .add("sourceGUID", QStringLiteral("sourceGuid"))
                                        .add("targetGUID", QStringLiteral("targetGuid"));
    return table;
}

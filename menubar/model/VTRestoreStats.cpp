#include "model/VTRestoreStats.h"

void VTRestoreStats::setRestoreID(qint64 value) {
    restoreID_ = value;
    emit restoreIDChanged();
}

void VTRestoreStats::setIsRestoring(bool value) {
    isRestoring_ = value;
    emit isRestoringChanged();
}

void VTRestoreStats::setSourceGUID(qint64 value) {
    sourceGUID_ = value;
    emit sourceGUIDChanged();
}

void VTRestoreStats::setTargetGUID(qint64 value) {
    targetGUID_ = value;
    emit targetGUIDChanged();
}

const VTKeyTable& VTRestoreStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("restoreID", QStringLiteral("id"))
                                        .add("isRestoring", QStringLiteral("restoring"))
                                        .add("sourceGUID", QStringLiteral("sourceGuid"))
                                        .add("targetGUID", QStringLiteral("targetGuid"));
    return table;
}

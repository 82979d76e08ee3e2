#include "model/VTFileToDoStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTFileToDoStats::setCompletionRatio(double value) {
    VTStoreAndAnnounce(completionRatio_, value, this, &VTFileToDoStats::completionRatioChanged);
}

void VTFileToDoStats::setCurrentFile(const QString& value) {
    VTStoreAndAnnounce(currentFile_, value, this, &VTFileToDoStats::currentFileChanged);
}

const VTKeyTable& VTFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("completionRatio", QStringLiteral("completionRatio"))
                                        .add("currentFile", QStringLiteral("file"));
    return table;
}

#include "model/VTFileToDoStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTFileToDoStats::setCompletionRatio(double value) {
    VTStoreAndAnnounce<&VTFileToDoStats::completionRatioChanged>(completionRatio_, value, this);
}

void VTFileToDoStats::setCurrentFile(const QString& value) {
    VTStoreAndAnnounce<&VTFileToDoStats::currentFileChanged>(currentFile_, value, this);
}

const VTKeyTable& VTFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("completionRatio", QStringLiteral("completionRatio"))
                                        .add("currentFile", QStringLiteral("file"));
    return table;
}

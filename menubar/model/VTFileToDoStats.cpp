#include "model/VTFileToDoStats.h"

void VTFileToDoStats::setCompletionRatio(double value) {
    completionRatio_ = value;
    emit completionRatioChanged();
}

void VTFileToDoStats::setCurrentFile(const QString& value) {
    currentFile_ = value;
    emit currentFileChanged();
}

const VTKeyTable& VTFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTDictUpdatable::classKeyTable(), staticMetaObject)
                                        .add("completionRatio", QStringLiteral("completionRatio"))
                                        .add("currentFile", QStringLiteral("file"));
    return table;
}

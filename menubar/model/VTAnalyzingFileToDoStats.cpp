#include "model/VTAnalyzingFileToDoStats.h"

void VTAnalyzingFileToDoStats::setDoneAnalyzing(bool value) {
    doneAnalyzing_ = value;
    emit doneAnalyzingChanged();
}

const VTKeyTable& VTAnalyzingFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTFileToDoStats::classKeyTable(), staticMetaObject)
                                        .add("doneAnalyzing", QStringLiteral("doneAnalyzing"));
    return table;
}

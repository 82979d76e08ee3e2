#include "model/VTAnalyzingFileToDoStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTAnalyzingFileToDoStats::setDoneAnalyzing(bool value) {
    VTStoreAndAnnounce<&VTAnalyzingFileToDoStats::doneAnalyzingChanged>(doneAnalyzing_, value,
                                                                        this);
}

const VTKeyTable& VTAnalyzingFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTFileToDoStats::classKeyTable(), staticMetaObject)
                                        .add("doneAnalyzing", QStringLiteral("doneAnalyzing"));
    return table;
}

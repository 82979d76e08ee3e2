#include "model/VTSendingFileToDoStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTSendingFileToDoStats::setDoneSending(bool value) {
    VTStoreAndAnnounce<&VTSendingFileToDoStats::doneSendingChanged>(doneSending_, value, this);
}

const VTKeyTable& VTSendingFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTFileToDoStats::classKeyTable(), staticMetaObject)
                                        .add("doneSending", QStringLiteral("doneSending"));
    return table;
}

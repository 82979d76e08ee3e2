#include "model/VTSendingFileToDoStats.h"

#include "model/VTStoreAndAnnounce.h"

void VTSendingFileToDoStats::setDoneSending(bool value) {
    VTStoreAndAnnounce(doneSending_, value, this, &VTSendingFileToDoStats::doneSendingChanged);
}

const VTKeyTable& VTSendingFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTFileToDoStats::classKeyTable(), staticMetaObject)
                                        .add("doneSending", QStringLiteral("doneSending"));
    return table;
}

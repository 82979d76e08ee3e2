#include "model/VTSendingFileToDoStats.h"

void VTSendingFileToDoStats::setDoneSending(bool value) {
    doneSending_ = value;
    emit doneSendingChanged();
}

const VTKeyTable& VTSendingFileToDoStats::classKeyTable() {
    static const VTKeyTable table = VTKeyTable(VTFileToDoStats::classKeyTable(), staticMetaObject)
                                        .add("doneSending", QStringLiteral("doneSending"));
    return table;
}

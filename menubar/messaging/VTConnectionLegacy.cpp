#include "VTConnectionLegacy.h"

#include "AlertRequestMessage.h"
#include "BackupStatsSummaryMessage.h"
#include "GetBackupStatsSummaryMessage.h"
#include "GetComputersMessage.h"

VTConnectionLegacy::VTConnectionLegacy(QObject* parent, const std::optional<QStringList>& arguments)
    : VTConnection(BackupStatsSummaryMessage::kMessageID, parent, arguments) {}

bool VTConnectionLegacy::registerWithVTS() {
    return sendMessage(GetComputersMessage()) && sendMessage(GetBackupStatsSummaryMessage()) &&
           sendMessage(AlertRequestMessage());
}

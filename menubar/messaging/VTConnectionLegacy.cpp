#include "messaging/VTConnectionLegacy.h"

#include "messaging/AlertRequestMessage.h"
#include "messaging/BackupStatsSummaryMessage.h"
#include "messaging/GetBackupStatsSummaryMessage.h"
#include "messaging/GetComputersMessage.h"

VTConnectionLegacy::VTConnectionLegacy(QObject* parent, const std::optional<QStringList>& arguments)
    : VTConnection(BackupStatsSummaryMessage::kMessageID, parent, arguments) {}

bool VTConnectionLegacy::registerWithVTS() {
    return sendMessage(GetComputersMessage()) && sendMessage(GetBackupStatsSummaryMessage()) &&
           sendMessage(AlertRequestMessage());
}

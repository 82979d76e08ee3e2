#include "messaging/VTConnectionNew.h"

#include "messaging/AppStateMessage.h"
#include "messaging/AppStateRequestMessage.h"
#include "messaging/SetMessageTypeMessage.h"
#include "messaging/StatsRequestMessage.h"

VTConnectionNew::VTConnectionNew(QObject* parent, const std::optional<QStringList>& arguments)
    : VTConnection(AppStateMessage::kMessageID, parent, arguments) {}

bool VTConnectionNew::registerWithVTS() {
    return sendMessage(
               SetMessageTypeMessage::msgWithName(SetMessageTypeMessage::kBaseTrayInterface)) &&
           sendMessage(AppStateRequestMessage());
}

bool VTConnectionNew::requestStatsUpdate() {
    return isConnected() && sendMessage(StatsRequestMessage());
}

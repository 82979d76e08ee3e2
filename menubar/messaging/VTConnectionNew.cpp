#include "VTConnectionNew.h"

#include "AppStateMessage.h"
#include "AppStateRequestMessage.h"
#include "SetMessageTypeMessage.h"
#include "StatsRequestMessage.h"

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

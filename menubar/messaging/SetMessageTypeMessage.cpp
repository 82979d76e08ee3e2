#include "messaging/SetMessageTypeMessage.h"

#include <QDateTime>

SetMessageTypeMessage SetMessageTypeMessage::msgWithName(const QString& interfaceName) {
    SetMessageTypeMessage message;
    message.addToken(interfaceName);
    message.addToken(VT_timestamp());
    return message;
}

qint64 SetMessageTypeMessage::VT_timestamp() {
    return QDateTime::currentMSecsSinceEpoch();
}

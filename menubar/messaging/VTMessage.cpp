#include "messaging/VTMessage.h"

#include "messaging/VTMessageHeader.h"

QByteArray VTMessage::dataValue() const {
    const QByteArray payload = VT_msgData();
    return VTMessageHeader::headerWithID(messageID(), static_cast<quint64>(payload.size()))
               .dataValue() +
           payload;
}

QString VTMessage::identification() const {
    return QStringLiteral("<%1: 0x%2>")
        .arg(className())
        .arg(reinterpret_cast<quintptr>(this), 0, 16);
}

QString VTMessage::description() const {
    return identification();
}

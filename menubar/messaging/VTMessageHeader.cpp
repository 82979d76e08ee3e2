#include "messaging/VTMessageHeader.h"

#include <QtEndian>

VTMessageHeader VTMessageHeader::headerWithData(const QByteArray& data) {
    if (data.size() < kSize) {
        return VTMessageHeader(0, -1);
    }
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    return VTMessageHeader(qFromBigEndian<qint16>(bytes), qFromBigEndian<qint32>(bytes + 2));
}

VTMessageHeader VTMessageHeader::headerWithID(qint16 msgID, quint64 length) {
    return VTMessageHeader(msgID, static_cast<qint32>(static_cast<quint32>(length)));
}

QByteArray VTMessageHeader::dataValue() const {
    QByteArray data(kSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(data.data());
    qToBigEndian<qint16>(msgID_, bytes);
    qToBigEndian<qint32>(msgLength_, bytes + 2);
    return data;
}

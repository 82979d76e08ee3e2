#include "VTStringMessage.h"

#include <QStringDecoder>

std::optional<QString> VTStringMessage::decodeUtf8(const QByteArray& payload) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(payload);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

QString VTStringMessage::description() const {
    return QStringLiteral("%1: %2").arg(
        identification(),
        QStringLiteral("VTSTATUS_MSG:--  ") + contentString() + QStringLiteral("  --END_MSG"));
}

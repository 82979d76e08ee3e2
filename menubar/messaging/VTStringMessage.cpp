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

void VTStringMessage::initWithData(const QByteArray& payload) {
    contentString_ = decodeUtf8(payload);
    payload_ = contentString_ ? payload : QByteArray();
}

void VTStringMessage::initWithString(const QString& text) {
    contentString_ = text;
    payload_.clear();
}

QByteArray VTStringMessage::contentUtf8() const {
    if (payload_.isNull()) {
        return contentString().toUtf8();
    }
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    return payload_.startsWith(byteOrderMark) ? payload_.sliced(byteOrderMark.size()) : payload_;
}

QString VTStringMessage::description() const {
    return QStringLiteral("%1: %2").arg(
        identification(),
        QStringLiteral("VTSTATUS_MSG:--  ") + contentString() + QStringLiteral("  --END_MSG"));
}

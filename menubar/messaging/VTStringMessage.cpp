#include "messaging/VTStringMessage.h"

#include <QStringDecoder>

std::optional<QString> VTStringMessage::decodeUtf8(const QByteArray& payload) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(payload);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

VTStringMessage::VTStringMessage(const VTStringMessage& other) : VTMessage(other) {
    *this = other;
}

VTStringMessage& VTStringMessage::operator=(const VTStringMessage& other) {
    if (this == &other) {
        return *this;
    }
    bool hasContent = false;
    QByteArray payload;
    std::optional<QString> text;
    {
        QMutexLocker locker(&other.contentLock_);
        hasContent = other.hasContent_;
        payload = other.payload_;
        text = other.contentString_;
    }
    QMutexLocker locker(&contentLock_);
    hasContent_ = hasContent;
    payload_ = payload;
    contentString_ = text;
    return *this;
}

void VTStringMessage::initWithData(const QByteArray& payload) {
    QMutexLocker locker(&contentLock_);
    hasContent_ = payload.isValidUtf8();
    payload_ = hasContent_ ? payload : QByteArray();
    contentString_.reset();
}

void VTStringMessage::initWithString(const QString& text) {
    QMutexLocker locker(&contentLock_);
    hasContent_ = true;
    payload_.clear();
    contentString_ = text;
}

QString VTStringMessage::contentString() const {
    QMutexLocker locker(&contentLock_);
    if (!hasContent_) {
        return QString();
    }
    if (!contentString_) {
        contentString_ = decodeUtf8(payload_).value_or(QString());
    }
    return *contentString_;
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

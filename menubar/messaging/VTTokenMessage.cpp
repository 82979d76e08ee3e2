#include "messaging/VTTokenMessage.h"

void VTTokenMessage::initWithData(const QByteArray& payload) {
    VTStringMessage::initWithData(payload);
    if (hasContentString()) {
        tokens_ = contentString().split(QLatin1Char('|'), Qt::KeepEmptyParts);
    }
}

void VTTokenMessage::initWithString(const QString& text) {
    VTStringMessage::initWithString(text);
    tokens_ = QStringList{text};
}

std::optional<QString> VTTokenMessage::tokenAt(qsizetype index) const {
    if (index < 0 || index >= tokens_.size()) {
        return std::nullopt;
    }
    return tokens_.at(index);
}

QString VTTokenMessage::description() const {
    return QStringLiteral("content: %1 -- %2")
        .arg(VT_buildTokenString(), VTStringMessage::description());
}

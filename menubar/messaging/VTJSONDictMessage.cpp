#include "VTJSONDictMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <stdexcept>

namespace {

// Any top-level JSON value, a bare string or number included: wrapped into an array so
// that the document parser accepts it.
std::optional<QJsonValue> parseAnyValue(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray("[") + text.toUtf8() + QByteArray("]"), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() ||
        document.array().size() != 1) {
        return std::nullopt;
    }
    return document.array().at(0);
}

}  // namespace

bool VTJSONDictMessage::VT_processJSON() {
    QMutexLocker locker(&lock_);
    if (dict_) {
        return true;
    }
    if (!hasContentString()) {
        throw std::runtime_error("JSON message payload is not valid UTF-8");
    }
    dict_ = parseAnyValue(contentString());
    if (!dict_ || !dict_->isObject()) {
        qWarning("unable to read json");
    }
    return false;
}

QJsonObject VTJSONDictMessage::dict() {
    VT_processJSON();
    QMutexLocker locker(&lock_);
    return dict_ && dict_->isObject() ? dict_->toObject() : QJsonObject();
}

std::optional<QJsonValue> VTJSONDictMessage::parsedValue() {
    VT_processJSON();
    QMutexLocker locker(&lock_);
    return dict_;
}

#include "messaging/VTJSONDictMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <cctype>
#include <stdexcept>

namespace {

// Any top-level JSON value, a bare string or number included. Objects and arrays (every real
// document) are parsed as they are; anything else is wrapped into an array first, so that the
// document parser accepts it.
std::optional<QJsonValue> parseAnyValue(const QByteArray& utf8) {
    qsizetype start = 0;
    while (start < utf8.size() && std::isspace(static_cast<unsigned char>(utf8.at(start)))) {
        ++start;
    }
    const char first = start < utf8.size() ? utf8.at(start) : '\0';
    QJsonParseError error{};
    if (first == '{' || first == '[') {
        const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
        if (error.error != QJsonParseError::NoError) {
            return std::nullopt;
        }
        return document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    }
    const QJsonDocument wrapped =
        QJsonDocument::fromJson(QByteArray("[") + utf8 + QByteArray("]"), &error);
    if (error.error != QJsonParseError::NoError || wrapped.array().size() != 1) {
        return std::nullopt;
    }
    return wrapped.array().at(0);
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
    dict_ = parseAnyValue(contentUtf8());
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

VTJSONObject VTJSONDictMessage::dictForReading() {
    {
        QMutexLocker locker(&lock_);
        if (!dict_ && !fastDocument_) {
            if (!hasContentString()) {
                throw std::runtime_error("JSON message payload is not valid UTF-8");
            }
            fastDocument_ = VTJSONDocument::parseObject(contentUtf8());
        }
        if (fastDocument_) {
            return fastDocument_->root();
        }
    }
    // A text the fast parser refuses is read, or reported, as dict() does.
    return dict();
}

std::optional<QJsonValue> VTJSONDictMessage::parsedValue() {
    VT_processJSON();
    QMutexLocker locker(&lock_);
    return dict_;
}

#include "app/VTUtils.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace {

QVariantMap loadInfoDictionary() {
    QFile file(QStringLiteral(":/Info.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

QVariantMap& infoDictionary() {
    static QVariantMap dictionary = loadInfoDictionary();
    return dictionary;
}

}  // namespace

const QVariantMap& VTUtils::bundleInfoDictionary() {
    return infoDictionary();
}

void VTUtils::overrideBundleInfoDictionary(const QVariantMap& dictionary) {
    infoDictionary() = dictionary;
}

QVariant VTUtils::stringFromDefaultPlist(const QString& key) {
    return bundleInfoDictionary().value(key);
}

bool VTUtils::boolFromDefaultPlist(const QString& key) {
    return boolValue(stringFromDefaultPlist(key));
}

qint64 VTUtils::integerFromDefaultPlist(const QString& key) {
    return integerValue(textValue(stringFromDefaultPlist(key)));
}

QString VTUtils::textValue(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return value.toString();
}

qint64 VTUtils::integerValue(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate as a negative number so that the most negative value fits; saturate.
    qint64 value = 0;
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (value < (lowest + digit) / 10) {
            value = lowest;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == lowest ? std::numeric_limits<qint64>::max() : -value;
}

bool VTUtils::boolValue(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        ++i;
    }
    while (i < text.size() && text[i] == u'0') {
        ++i;
    }
    if (i >= text.size()) {
        return false;
    }
    const QChar c = text[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

bool VTUtils::boolValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return false;
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::Double:
        case QMetaType::Float:
            return value.toDouble() != 0.0;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return value.toLongLong() != 0;
        default:
            return boolValue(value.toString());
    }
}

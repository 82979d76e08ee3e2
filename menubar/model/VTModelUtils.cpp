#include "model/VTModelUtils.h"

#include <QJsonValue>
#include <QObject>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "model/VTComputer.h"
#include "model/VTDecimal.h"
#include "model/VTDestination.h"
#include "model/VTKeyTable.h"
#include "model/VTSource.h"

namespace {

VTLogger* utilsLog() {
    static VTLogger* log = VTLogger::sharedLoggerForClass(QStringLiteral("VTModelUtils"));
    return log;
}

// The property value for a JSON value: completion ratios become exact decimals, everything
// else goes through QVariant's conversion to the property's type.
VTDecimal decimalValue(const QJsonValue& number) {
    const qint64 integer = number.toInteger(std::numeric_limits<qint64>::min());
    return integer != std::numeric_limits<qint64>::min() ? VTDecimal(integer)
                                                         : VTDecimal::fromDouble(number.toDouble());
}

QVariant propertyValue(const QMetaProperty& property, const QJsonValue& value) {
    if (property.metaType() == QMetaType::fromType<VTDecimal>()) {
        return value.isDouble() ? QVariant::fromValue(decimalValue(value)) : QVariant();
    }
    QVariant converted = value.toVariant();
    if (property.metaType() == QMetaType::fromType<QVariant>()) {
        return converted;
    }
    if (!converted.convert(property.metaType())) {
        return QVariant();
    }
    return converted;
}

// Calls the property's setter with the value itself when the JSON value already has the
// property's type, as QMetaProperty::write does after its QVariant conversion found nothing to
// convert; answers false, having written nothing, when a conversion is needed.
bool writeWithoutConversion(QObject* target, const VTKeyTable::Entry& entry,
                            const QJsonValue& value) {
    if (!entry.writable) {
        return false;
    }
    const auto write = [&](auto typed) {
        int status = -1;
        int flags = 0;
        void* arguments[] = {&typed, nullptr, &status, &flags};
        QMetaObject::metacall(target, QMetaObject::WriteProperty, entry.index, arguments);
        return true;
    };
    constexpr qint64 kNotWhole = std::numeric_limits<qint64>::min();
    switch (entry.typeId) {
        case QMetaType::LongLong: {
            const qint64 whole = value.isDouble() ? value.toInteger(kNotWhole) : kNotWhole;
            return whole != kNotWhole && write(whole);
        }
        case QMetaType::Bool:
            return value.isBool() && write(value.toBool());
        case QMetaType::QString:
            return value.isString() && write(value.toString());
        case QMetaType::Double:
            return value.isDouble() && write(value.toDouble());
        default:
            return entry.typeId == QMetaType::fromType<VTDecimal>().id() && value.isDouble() &&
                   write(decimalValue(value));
    }
}

}  // namespace

bool VTModelUtils::setObjPropsFromDictWithTarget(QObject* target, const VTKeyTable& properties,
                                                 const VTJSONObject& newValues) {
    bool allPresent = true;
    for (const VTKeyTable::Entry& entry : properties.entries()) {
        const QJsonValue found = newValues.value(QLatin1StringView(entry.latin1Key));
        if (found.isNull() || found.isUndefined()) {
            allPresent = false;
            continue;
        }
        if (writeWithoutConversion(target, entry, found)) {
            continue;
        }
        const QVariant value = propertyValue(entry.property, found);
        if (!value.isValid() || !entry.property.write(target, value)) {
            utilsLog()->warningWithFormat(
                "Ignoring the value of key \"%s\" for property %s of %s: it is not a %s",
                qUtf8Printable(entry.key), entry.property.name(), target->metaObject()->className(),
                entry.property.typeName());
        }
    }
    return allPresent;
}

bool VTModelUtils::truthy(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return false;
    }
    switch (value.typeId()) {
        case QMetaType::QVariantList:
        case QMetaType::QStringList:
            return !value.toList().isEmpty();
        case QMetaType::QVariantMap:
            return !value.toMap().isEmpty();
        case QMetaType::QVariantHash:
            return !value.toHash().isEmpty();
        case QMetaType::QString:
            return !value.toString().isEmpty();
        case QMetaType::QByteArray:
            return !value.toByteArray().isEmpty();
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::Double:
        case QMetaType::Float:
            return value.toDouble() != 0.0;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return value.toLongLong() != 0;
        case QMetaType::Nullptr:
            return false;
        default:
            return true;
    }
}

bool VTModelUtils::BOOLfromJSONBooleanString(const QString& text) {
    const QString lower = text.toLower();
    if (lower == u"true") {
        return true;
    }
    if (lower != u"false") {
        utilsLog()->warning(QStringLiteral("Received a value other than 'true' or 'false'"));
    }
    return false;
}

QDateTime VTModelUtils::timeInMillisToDate(double millis) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(millis), Qt::UTC);
}

VTBackupStatus VTModelUtils::stringToBackupStatus(const QString& text) {
    if (text == u"SEVERE") {
        return VTBackupStatusSevere;
    }
    if (text == u"WARNING") {
        return VTBackupStatusWarning;
    }
    if (text == u"SAFE") {
        return VTBackupStatusSafe;
    }
    return VTBackupStatusUnknown;
}

qint64 VTModelUtils::int64Value(const QString& text) {
    return VTUtils::integerValue(text);
}

QString VTModelUtils::defaultsKeyDetailsHiddenForComputer(const VTComputer* computer) {
    if (qobject_cast<const VTSource*>(computer)) {
        return QStringLiteral("hide_details_src_%1").arg(computer->GUID());
    }
    if (qobject_cast<const VTDestination*>(computer)) {
        return QStringLiteral("hide_details_dest_%1").arg(computer->GUID());
    }
    return QString();
}

qint64 VTModelUtils::currentTimeInSeconds() {
    return QDateTime::currentSecsSinceEpoch();
}

#include "model/VTModelUtils.h"

#include <QJsonValue>
#include <QObject>
#include <cmath>
#include <limits>
#include <optional>

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

// A completion ratio as an exact decimal: a whole number as itself (wholeOrNot as
// QJsonValue::toInteger(kNotWhole) gives it), any other through its shortest text.
VTDecimal decimalValue(qint64 wholeOrNot, double number) {
    return wholeOrNot != VTJSONScalar::kNotWhole ? VTDecimal(wholeOrNot)
                                                 : VTDecimal::fromDouble(number);
}

// The property value for a JSON value: completion ratios become exact decimals, everything
// else goes through QVariant's conversion to the property's type.
QVariant propertyValue(const QMetaProperty& property, const QJsonValue& value) {
    if (property.metaType() == QMetaType::fromType<VTDecimal>()) {
        return value.isDouble() ? QVariant::fromValue(decimalValue(
                                      value.toInteger(VTJSONScalar::kNotWhole), value.toDouble()))
                                : QVariant();
    }
    if (property.metaType() == QMetaType::fromType<qint64>() && value.isDouble()) {
        // Rounded half away from zero as QVariant's conversion rounds, but never cast beyond
        // the range: "numRemainingBytes": 1e19 is held at the largest value.
        return QVariant::fromValue(VTModelUtils::clampedInt64(std::round(value.toDouble())));
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

// Calls the property's setter with the value itself, which has the property's type, as
// QMetaProperty::write does after its QVariant conversion found nothing to convert.
template <typename Value>
void writeTyped(QObject* target, const VTKeyTable::Entry& entry, Value typed) {
    int status = -1;
    int flags = 0;
    void* arguments[] = {&typed, nullptr, &status, &flags};
    entry.staticMetacall(target, QMetaObject::WriteProperty, entry.relativeIndex, arguments);
}

// Calls the property's setter with the value itself when the JSON value already has the
// property's type, as QMetaProperty::write does after its QVariant conversion found nothing to
// convert; answers false, having written nothing, when a conversion is needed.
bool writeWithoutConversion(QObject* target, const VTKeyTable::Entry& entry, VTJSONScalar& value) {
    if (!entry.writable) {
        return false;
    }
    const auto write = [&](auto typed) {
        writeTyped(target, entry, std::move(typed));
        return true;
    };
    const bool number = value.kind == VTJSONScalar::Kind::Number;
    const bool whole = number && value.integer != VTJSONScalar::kNotWhole;
    switch (entry.typeId) {
        case QMetaType::LongLong:
            return whole && write(value.integer);
        case QMetaType::Bool:
            return value.kind == VTJSONScalar::Kind::Bool && write(value.boolean);
        case QMetaType::QString:
            return value.kind == VTJSONScalar::Kind::String && write(std::move(value.text));
        case QMetaType::Double:
            return number && write(value.number);
        default:
            return entry.typeId == QMetaType::fromType<VTDecimal>().id() && number &&
                   write(decimalValue(value.integer, value.number));
    }
}

}  // namespace

bool VTModelUtils::setObjPropsFromDictWithTarget(QObject* target, const VTKeyTable& properties,
                                                 const VTJSONObject& newValues) {
    bool allPresent = true;
    for (const VTKeyTable::Entry& entry : properties.entries()) {
        const QLatin1StringView key(entry.latin1Key);
        VTJSONScalar scalar = newValues.scalar(key);
        if (scalar.kind == VTJSONScalar::Kind::Absent || scalar.kind == VTJSONScalar::Kind::Null) {
            allPresent = false;
            continue;
        }
        if (writeWithoutConversion(target, entry, scalar)) {
            continue;
        }
        const QVariant value = propertyValue(entry.property, newValues.value(key));
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
    return QDateTime::fromMSecsSinceEpoch(clampedInt64(millis), Qt::UTC);
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

qint64 VTModelUtils::clampedInt64(double value) {
    // 2^63 is exact as a double; every double below it and at least -2^63 truncates into range.
    constexpr double kBeyondLargest = 9223372036854775808.0;
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kBeyondLargest) {
        return std::numeric_limits<qint64>::max();
    }
    if (value <= -kBeyondLargest) {
        return std::numeric_limits<qint64>::min();
    }
    return static_cast<qint64>(value);
}

qint64 VTModelUtils::int64FromJSON(const QJsonValue& value) {
    if (!value.isDouble()) {
        return 0;
    }
    constexpr qint64 kNotWhole = std::numeric_limits<qint64>::min();
    const qint64 whole = value.toInteger(kNotWhole);
    return whole != kNotWhole ? whole : clampedInt64(value.toDouble());
}

std::optional<qint64> VTModelUtils::identityFromJSON(const QJsonValue& value) {
    qint64 identity = 0;
    if (value.isDouble()) {
        // The lowest value stands for "not whole" here; no computer is numbered with it.
        constexpr qint64 kNotWhole = std::numeric_limits<qint64>::min();
        const qint64 whole = value.toInteger(kNotWhole);
        identity = whole != kNotWhole ? whole : 0;
    } else if (value.isString()) {
        identity = int64Value(value.toString());
    }
    if (identity == 0) {
        return std::nullopt;
    }
    return identity;
}

qint64 VTModelUtils::saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    }
    return sum;
}

qint64 VTModelUtils::valueOrZeroIfNone(qint64 value) {
    return value > std::numeric_limits<qint64>::max() - 10 ? 0 : value;
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

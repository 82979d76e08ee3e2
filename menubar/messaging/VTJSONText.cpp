#include "messaging/VTJSONText.h"

#include <QLocale>
#include <QVariant>

namespace VTJSONText {

std::optional<QString> textOf(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::String:
            return value.toString();
        case QJsonValue::Double: {
            const QVariant number = value.toVariant();
            if (number.typeId() == QMetaType::LongLong) {
                return QString::number(number.toLongLong());
            }
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        }
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        default:
            return std::nullopt;
    }
}

}  // namespace VTJSONText

#include "ui/text/VTObjectDump.h"

#include <QMetaProperty>
#include <QObject>
#include <QSequentialIterable>
#include <QVariant>

#include "model/VTDecimal.h"

QString VTObjectDump::dumpInfo(const QObject* object) {
    if (!object) {
        return QStringLiteral("(null)\n");
    }
    return dumpInfo(object, object->metaObject());
}

QString VTObjectDump::dumpInfo(const QObject* object, const QMetaObject* metaObject) {
    if (!object || !metaObject || metaObject == &QObject::staticMetaObject) {
        return QString();
    }
    QString text;
    for (int i = metaObject->propertyOffset(); i < metaObject->propertyCount(); ++i) {
        const QMetaProperty property = metaObject->property(i);
        const QVariant value = property.read(object);
        if (!value.isValid()) {
            text += QStringLiteral("Can't get value for property %1 through KVO\n")
                        .arg(QLatin1String(property.name()));
            continue;
        }
        text += QStringLiteral("%1=%2\n").arg(QLatin1String(property.name()), valueText(value));
    }
    return text + dumpInfo(object, metaObject->superClass());
}

QString VTObjectDump::valueText(const QVariant& value) {
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<VTDecimal>()) {
        return value.value<VTDecimal>().toString();
    }
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        const QObject* object = value.value<QObject*>();
        return object ? QStringLiteral("<%1>").arg(QLatin1String(object->metaObject()->className()))
                      : QStringLiteral("(null)");
    }
    if (value.canConvert<QVariantList>() && type.id() != QMetaType::QString &&
        type.id() != QMetaType::QByteArray) {
        QStringList items;
        for (const QVariant& item : value.value<QSequentialIterable>()) {
            items << valueText(item);
        }
        return QStringLiteral("(%1)").arg(items.join(QStringLiteral(", ")));
    }
    if (value.canConvert<QString>()) {
        return value.toString();
    }
    return QStringLiteral("<%1>").arg(QLatin1String(type.name()));
}

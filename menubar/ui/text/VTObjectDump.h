#pragma once

#include <QString>

class QMetaObject;
class QObject;
class QVariant;

// A multi-line text of an object's properties and values for log lines: the properties of the
// most derived class first, then those of each base class, stopping before QObject. One line
// "name=value" per property.
class VTObjectDump {
  public:
    VTObjectDump() = delete;

    static QString dumpInfo(const QObject* object);
    // The properties declared by exactly metaObject's class, then by its bases.
    static QString dumpInfo(const QObject* object, const QMetaObject* metaObject);

  private:
    static QString valueText(const QVariant& value);
};

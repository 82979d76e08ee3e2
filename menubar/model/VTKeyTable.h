#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QMetaProperty>
#include <QString>

// The table "property name → JSON key" of a dictionary-updatable class. Each class builds its
// table once, from its superclass's, resolving every property name against its own meta-object
// so that an update writes through QMetaProperty without looking names up again.
class VTKeyTable {
  public:
    struct Entry {
        QMetaProperty property;
        QString key;
        // The same key in Latin-1, for reading dictionaries.
        QByteArray latin1Key;
        // The property's type and writability, looked up once.
        int typeId;
        bool writable;
        // The moc-generated dispatcher of the class that declares the property, and the
        // property's index there: a write through it skips the walk up the class chain that
        // QMetaObject::metacall takes, as QMetaProperty::write does for gadgets.
        QMetaObject::Data::StaticMetacallFunction staticMetacall;
        int relativeIndex;
    };

    explicit VTKeyTable(const QMetaObject& metaObject) : metaObject_(&metaObject) {}
    // The inherited entries, re-bound to the subclass's meta-object.
    VTKeyTable(const VTKeyTable& inherited, const QMetaObject& metaObject)
        : metaObject_(&metaObject), entries_(inherited.entries_) {}

    // Maps the property to the key (replacing an existing mapping of the property).
    VTKeyTable& add(const char* propertyName, const QString& key);
    VTKeyTable& remove(const char* propertyName);

    const QList<Entry>& entries() const { return entries_; }

  private:
    const QMetaObject* metaObject_;
    QList<Entry> entries_;
};

#include "model/VTKeyTable.h"

#include <cstring>
#include <stdexcept>

VTKeyTable& VTKeyTable::add(const char* propertyName, const QString& key) {
    const int index = metaObject_->indexOfProperty(propertyName);
    if (index < 0) {
        // A table naming a property its class lacks is a programming error, caught by the
        // first test that builds the class.
        throw std::logic_error(std::string("no property ") + propertyName + " in " +
                               metaObject_->className());
    }
    remove(propertyName);
    const QMetaProperty property = metaObject_->property(index);
    entries_.append({property, key, key.toLatin1(), property.metaType().id(), property.isWritable(),
                     property.enclosingMetaObject()->d.static_metacall,
                     property.relativePropertyIndex()});
    return *this;
}

VTKeyTable& VTKeyTable::remove(const char* propertyName) {
    entries_.removeIf([propertyName](const Entry& entry) {
        return std::strcmp(entry.property.name(), propertyName) == 0;
    });
    return *this;
}

#include "VTKeyTable.h"

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
    entries_.append({metaObject_->property(index), key, key.toLatin1()});
    return *this;
}

VTKeyTable& VTKeyTable::remove(const char* propertyName) {
    entries_.removeIf([propertyName](const Entry& entry) {
        return std::strcmp(entry.property.name(), propertyName) == 0;
    });
    return *this;
}

#pragma once

#include "model/VTJSONObject.h"
#include "model/VTKeyTable.h"
#include "model/VTModelObject.h"

// A model object whose properties are filled from a decoded JSON dictionary through its class's
// key table (property name → key).
class VTDictUpdatable : public VTModelObject {
    Q_OBJECT
  public:
    explicit VTDictUpdatable(QObject* parent = nullptr) : VTModelObject(parent) {}

    // Sets every mapped property whose key is present, through its setter. False when some key
    // of the table was absent (callers ignore it; subclasses may answer true regardless).
    virtual bool updatePropertiesFromDict(const VTJSONObject& dict);

    // The table of the object's own class (each subclass extends its superclass's).
    virtual const VTKeyTable& propertyNamesForNewValuesKeys() const { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();
};

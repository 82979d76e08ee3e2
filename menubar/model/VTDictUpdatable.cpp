#include "model/VTDictUpdatable.h"

#include "model/VTModelUtils.h"

bool VTDictUpdatable::updatePropertiesFromDict(const VTJSONObject& dict) {
    return VTModelUtils::setObjPropsFromDictWithTarget(this, propertyNamesForNewValuesKeys(), dict);
}

const VTKeyTable& VTDictUpdatable::classKeyTable() {
    static const VTKeyTable table(staticMetaObject);
    return table;
}

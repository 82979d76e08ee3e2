#pragma once

#include <utility>

// The model's setter rule: store the value, then emit the property's notify signal, also when
// the value did not change, since subscribers refresh on the announcement itself. Setters that
// announce only a change, or derive other values, are written out where they live.
template <class Field, class Value, class Object, class Owner>
inline void VTStoreAndAnnounce(Field& field, Value&& value, Object* object,
                               void (Owner::*changed)()) {
    field = std::forward<Value>(value);
    (object->*changed)();
}

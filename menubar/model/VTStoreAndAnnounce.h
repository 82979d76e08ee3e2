#pragma once

#include <QMetaMethod>
#include <utility>

// The model's setter rule: store the value, then emit the property's notify signal Changed,
// also when the value did not change, since subscribers refresh on the announcement itself.
// Only a signal nothing ever connected to stays silent, as nobody could receive it (see
// VTModelObject). Setters that announce only a change, or derive other values, are written out
// where they live.
template <auto Changed, class Field, class Value, class Object>
inline void VTStoreAndAnnounce(Field& field, Value&& value, Object* object) {
    field = std::forward<Value>(value);
    static const int signalIndex = QMetaMethod::fromSignal(Changed).methodIndex();
    if (object->isSignalHeard(signalIndex)) {
        (object->*Changed)();
    }
}

#include "model/VTPropertyObservation.h"

VTPropertyObservation::VTPropertyObservation(QObject* object, const QMetaProperty& property,
                                             Handler handler, QObject* parent)
    : QObject(parent),
      object_(object),
      property_(property),
      propertyName_(property.name()),
      handler_(std::move(handler)) {
    const QMetaMethod slot = staticMetaObject.method(staticMetaObject.indexOfSlot("VT_notified()"));
    QObject::connect(object, property.notifySignal(), this, slot);
}

void VTPropertyObservation::VT_notified() {
    if (object_) {
        handler_(object_, propertyName_, property_.read(object_));
    }
}

#include "model/VTPropertyObserver.h"

#include "app/VTLogger.h"

namespace {

VTLogger* observerLog() {
    static VTLogger* log = VTLogger::sharedLoggerForClass(QStringLiteral("VTPropertyObserver"));
    return log;
}

}  // namespace

bool VTPropertyObserver::observe(QObject* object, const char* propertyName, Handler handler) {
    if (!object || !propertyName) {
        observerLog()->warning(QStringLiteral("Asked to observe a property of no object"));
        return false;
    }
    const QMetaObject* metaObject = object->metaObject();
    const QMetaProperty property = metaObject->property(metaObject->indexOfProperty(propertyName));
    if (!property.isValid() || !property.hasNotifySignal()) {
        observerLog()->warningWithFormat("%s has no observable property %s",
                                         metaObject->className(), propertyName);
        return false;
    }
    observations_.removeIf([](VTPropertyObservation* observation) {
        if (observation->object()) {
            return false;
        }
        observation->deleteLater();
        return true;
    });
    observations_.append(new VTPropertyObservation(object, property, std::move(handler), this));
    return true;
}

bool VTPropertyObserver::stopObserving(QObject* object, const char* propertyName) {
    bool removed = false;
    for (qsizetype i = observations_.size() - 1; i >= 0; --i) {
        VTPropertyObservation* observation = observations_[i];
        if (observation->object() == object && observation->propertyName() == propertyName) {
            observations_.removeAt(i);
            // The handler that asks to stop may be running inside this very observation.
            QObject::disconnect(observation->object(), nullptr, observation, nullptr);
            observation->deleteLater();
            removed = true;
        }
    }
    if (!removed) {
        observerLog()->fine([propertyName] {
            return QStringLiteral("Unable to remove observation of %1: it was not observed")
                .arg(QString::fromUtf8(propertyName ? propertyName : "(none)"));
        });
    }
    return removed;
}

bool VTPropertyObserver::isObserving(const QObject* object, const char* propertyName) const {
    for (const VTPropertyObservation* observation : observations_) {
        if (observation->object() == object && observation->propertyName() == propertyName) {
            return true;
        }
    }
    return false;
}

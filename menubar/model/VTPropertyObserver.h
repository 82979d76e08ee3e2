#pragma once

#include <QList>
#include <QObject>

#include "model/VTPropertyObservation.h"

// Observes named properties of other objects through their notify signals. Every announcement
// reaches the handler synchronously, with the new value, also when the value did not change.
// Observations end with stopObserving, with the observer, or with the observed object.
class VTPropertyObserver : public QObject {
    Q_OBJECT
  public:
    using Handler = VTPropertyObservation::Handler;

    explicit VTPropertyObserver(QObject* parent = nullptr) : QObject(parent) {}

    // False (and a warning) when the object has no such property or it announces no changes.
    bool observe(QObject* object, const char* propertyName, Handler handler);
    // Ends every observation of that property of that object. Removing an observation that
    // does not exist is harmless: it is logged at the fine level and answers false.
    bool stopObserving(QObject* object, const char* propertyName);
    bool isObserving(const QObject* object, const char* propertyName) const;

  private:
    QList<VTPropertyObservation*> observations_;
};

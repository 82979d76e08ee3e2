#pragma once

#include "model/VTPropertyObserver.h"
#include "model/VTSelfObserverAction.h"
#include "model/VTUnique.h"
#include "model/VTUniqueSet.h"

// A model object that runs some of its own methods when some of its own properties change.
// Actions are added while the object is being built, so its self-subscriptions come before
// any other subscriber's and run first.
class VTSelfObserver : public VTUnique {
    Q_OBJECT
  public:
    explicit VTSelfObserver(QObject* parent = nullptr) : VTUnique(parent) {}

  protected:
    // Runs method whenever propertyName announces; selectorName names it.
    void addAction(const QString& selectorName, const QString& propertyName,
                   std::function<void()> method);

    // Receives the announcements of observed properties. For this object's own properties it
    // runs every matching action; subclasses observing other objects extend it.
    virtual void observeValueForKeyPath(const QByteArray& keyPath, QObject* object,
                                        const QVariant& newValue);

    VTPropertyObserver* observer() { return &observer_; }

  private:
    VTUniqueSet<VTSelfObserverAction> observerActions_;
    VTPropertyObserver observer_;
};

#pragma once

#include <functional>

#include "model/VTUnique.h"

// "Run this method of mine when this property of mine changes." The method is held as a
// callable; its name identifies the action and tells it in the log.
class VTSelfObserverAction : public VTUnique {
    Q_OBJECT
    Q_PROPERTY(QString propertyName READ propertyName CONSTANT)
    Q_PROPERTY(QString selectorName READ selectorName CONSTANT)
  public:
    VTSelfObserverAction(const QString& propertyName, const QString& selectorName,
                         std::function<void()> method = {}, QObject* parent = nullptr);

    const QString& propertyName() const { return propertyName_; }
    const QString& selectorName() const { return selectorName_; }
    // Runs the method; an action made without one does nothing.
    void run() const;
    // The hash of the property name followed by the selector name.
    std::optional<qint64> UID() const override;
    QString description() const;

  private:
    QString propertyName_;
    QString selectorName_;
    std::function<void()> method_;
};

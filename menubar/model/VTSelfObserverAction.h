#pragma once

#include "model/VTUnique.h"

// "Run this method of mine when this property of mine changes."
class VTSelfObserverAction : public VTUnique {
    Q_OBJECT
    Q_PROPERTY(QString propertyName READ propertyName CONSTANT)
    Q_PROPERTY(QString selectorName READ selectorName CONSTANT)
  public:
    VTSelfObserverAction(const QString& propertyName, const QString& selectorName,
                         QObject* parent = nullptr);

    const QString& propertyName() const { return propertyName_; }
    const QString& selectorName() const { return selectorName_; }
    // The hash of the property name followed by the selector name.
    std::optional<qint64> UID() const override;
    QString description() const;

  private:
    QString propertyName_;
    QString selectorName_;
};

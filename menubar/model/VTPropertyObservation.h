#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <functional>

// One observation of one property of one object: connected to the property's notify signal,
// it reads the new value and hands it to its handler. Owned by a VTPropertyObserver.
class VTPropertyObservation : public QObject {
    Q_OBJECT
  public:
    using Handler =
        std::function<void(QObject* object, const QByteArray& property, const QVariant& value)>;

    VTPropertyObservation(QObject* object, const QMetaProperty& property, Handler handler,
                          QObject* parent);

    QObject* object() const { return object_; }
    const QByteArray& propertyName() const { return propertyName_; }

  public slots:
    void VT_notified();

  private:
    QPointer<QObject> object_;
    QMetaProperty property_;
    QByteArray propertyName_;
    Handler handler_;
};

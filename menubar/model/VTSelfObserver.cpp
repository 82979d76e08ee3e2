#include "model/VTSelfObserver.h"

void VTSelfObserver::addAction(const QString& selectorName, const QString& propertyName,
                               std::function<void()> method) {
    auto* action = new VTSelfObserverAction(propertyName, selectorName, std::move(method), this);
    if (!observerActions_.insert(action)) {
        delete action;
        return;
    }
    const QByteArray property = propertyName.toLatin1();
    if (!observer_.isObserving(this, property.constData())) {
        observer_.observe(
            this, property.constData(),
            [this](QObject* object, const QByteArray& keyPath, const QVariant& newValue) {
                observeValueForKeyPath(keyPath, object, newValue);
            });
    }
}

void VTSelfObserver::observeValueForKeyPath(const QByteArray& keyPath, QObject* object,
                                            const QVariant& /*newValue*/) {
    if (object != this) {
        return;
    }
    bool matched = false;
    for (VTSelfObserverAction* action : observerActions_) {
        if (action->propertyName().toLatin1() != keyPath) {
            continue;
        }
        matched = true;
        action->run();
    }
    if (!matched) {
        log()->fine([&] {
            return QStringLiteral(
                       "@observeValueForKeyPath called for self, but I didn't any observer "
                       "actions with a matching property name. \nkeyPath:%1\nobject:%2")
                .arg(QString::fromLatin1(keyPath), object->metaObject()->className());
        });
    }
}

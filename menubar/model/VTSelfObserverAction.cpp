#include "model/VTSelfObserverAction.h"

#include <QHash>

VTSelfObserverAction::VTSelfObserverAction(const QString& propertyName, const QString& selectorName,
                                           std::function<void()> method, QObject* parent)
    : VTUnique(parent),
      propertyName_(propertyName),
      selectorName_(selectorName),
      method_(std::move(method)) {
    setPrime(41);
}

void VTSelfObserverAction::run() const {
    if (method_) {
        method_();
    }
}

std::optional<qint64> VTSelfObserverAction::UID() const {
    return static_cast<qint64>(qHash(propertyName_ + selectorName_, 0));
}

QString VTSelfObserverAction::description() const {
    return QStringLiteral("VTSelfObserverAction: I run %1 when property %2 changes")
        .arg(selectorName_, propertyName_);
}

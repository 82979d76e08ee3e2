#include "model/VTBackupSet.h"

VTBackupSet::VTBackupSet(qint64 setID, const QString& name, qint64 priority, QObject* parent)
    : VTUnique(parent), setID_(setID), name_(name), priority_(priority) {
    setPrime(13);
}

void VTBackupSet::setName(const QString& value) {
    name_ = value;
    emit nameChanged();
}

void VTBackupSet::setPriority(qint64 value) {
    priority_ = value;
    emit priorityChanged();
}

void VTBackupSet::setIsPathSetEmpty(bool value) {
    isPathSetEmpty_ = value;
    emit isPathSetEmptyChanged();
}

void VTBackupSet::setDestinationGUIDs(const QList<qint64>& value) {
    destinationGUIDs_ = value;
    emit destinationGUIDsChanged();
}

VTBackupSet* VTBackupSet::copy(QObject* parent) const {
    auto* twin = new VTBackupSet(setID_, name_, priority_, parent);
    twin->isPathSetEmpty_ = isPathSetEmpty_;
    twin->destinationGUIDs_ = destinationGUIDs_;
    return twin;
}

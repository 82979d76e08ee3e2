#include "model/VTBackupSet.h"

#include "model/VTStoreAndAnnounce.h"

VTBackupSet::VTBackupSet(qint64 setID, const QString& name, qint64 priority, QObject* parent)
    : VTUnique(parent), setID_(setID), name_(name), priority_(priority) {
    setPrime(13);
}

void VTBackupSet::setName(const QString& value) {
    VTStoreAndAnnounce<&VTBackupSet::nameChanged>(name_, value, this);
}

void VTBackupSet::setPriority(qint64 value) {
    VTStoreAndAnnounce<&VTBackupSet::priorityChanged>(priority_, value, this);
}

void VTBackupSet::setIsPathSetEmpty(bool value) {
    VTStoreAndAnnounce<&VTBackupSet::isPathSetEmptyChanged>(isPathSetEmpty_, value, this);
}

void VTBackupSet::setDestinationGUIDs(const QList<qint64>& value) {
    VTStoreAndAnnounce<&VTBackupSet::destinationGUIDsChanged>(destinationGUIDs_, value, this);
}

VTBackupSet* VTBackupSet::copy(QObject* parent) const {
    auto* twin = new VTBackupSet(setID_, name_, priority_, parent);
    twin->isPathSetEmpty_ = isPathSetEmpty_;
    twin->destinationGUIDs_ = destinationGUIDs_;
    return twin;
}

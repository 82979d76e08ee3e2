#pragma once

#include <QList>

#include "model/VTUnique.h"

// One of this computer's backup sets, built whole from the app-state document.
class VTBackupSet : public VTUnique {
    Q_OBJECT
    Q_PROPERTY(qint64 setID READ setID CONSTANT)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(qint64 priority READ priority WRITE setPriority NOTIFY priorityChanged)
    // The set has no files selected.
    Q_PROPERTY(bool isPathSetEmpty READ isPathSetEmpty WRITE setIsPathSetEmpty NOTIFY
                   isPathSetEmptyChanged)
    // GUIDs of the destinations this set backs up to, as given.
    Q_PROPERTY(QList<qint64> destinationGUIDs READ destinationGUIDs WRITE setDestinationGUIDs NOTIFY
                   destinationGUIDsChanged)
  public:
    VTBackupSet(qint64 setID, const QString& name, qint64 priority, QObject* parent = nullptr);

    qint64 setID() const { return setID_; }
    std::optional<qint64> UID() const override { return setID_; }
    const QString& name() const { return name_; }
    void setName(const QString& value);
    qint64 priority() const { return priority_; }
    void setPriority(qint64 value);
    bool isPathSetEmpty() const { return isPathSetEmpty_; }
    void setIsPathSetEmpty(bool value);
    const QList<qint64>& destinationGUIDs() const { return destinationGUIDs_; }
    void setDestinationGUIDs(const QList<qint64>& value);

    // A copy with the same identity and values, for a new owner.
    VTBackupSet* copy(QObject* parent) const;

  signals:
    void nameChanged();
    void priorityChanged();
    void isPathSetEmptyChanged();
    void destinationGUIDsChanged();

  private:
    qint64 setID_;
    QString name_;
    qint64 priority_;
    bool isPathSetEmpty_ = false;
    QList<qint64> destinationGUIDs_;
};

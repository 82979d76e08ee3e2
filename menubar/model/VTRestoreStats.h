#pragma once

#include "model/VTDictUpdatable.h"

// One running or finished restore (one value of "RestoreStats").
class VTRestoreStats : public VTDictUpdatable {
    Q_OBJECT
    Q_PROPERTY(qint64 restoreID READ restoreID WRITE setRestoreID NOTIFY restoreIDChanged)
    Q_PROPERTY(bool isRestoring READ isRestoring WRITE setIsRestoring NOTIFY isRestoringChanged)
    Q_PROPERTY(qint64 sourceGUID READ sourceGUID WRITE setSourceGUID NOTIFY sourceGUIDChanged)
    Q_PROPERTY(qint64 targetGUID READ targetGUID WRITE setTargetGUID NOTIFY targetGUIDChanged)
  public:
    explicit VTRestoreStats(QObject* parent = nullptr) : VTDictUpdatable(parent) {}

    qint64 restoreID() const { return restoreID_; }
    void setRestoreID(qint64 value);
    bool isRestoring() const { return isRestoring_; }
    void setIsRestoring(bool value);
    qint64 sourceGUID() const { return sourceGUID_; }
    void setSourceGUID(qint64 value);
    qint64 targetGUID() const { return targetGUID_; }
    void setTargetGUID(qint64 value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void restoreIDChanged();
    void isRestoringChanged();
    void sourceGUIDChanged();
    void targetGUIDChanged();

  private:
    qint64 restoreID_ = 0;
    bool isRestoring_ = false;
    qint64 sourceGUID_ = 0;
    qint64 targetGUID_ = 0;
};

#pragma once

#include "model/VTBaseStats.h"
#include "model/VTModelTypes.h"

// Statistics of one computer (a source or a destination), identified by its GUID.
class VTComputerStats : public VTBaseStats {
    Q_OBJECT
    Q_PROPERTY(qint64 computerGUID READ computerGUID CONSTANT)
    Q_PROPERTY(bool isBackingUp READ isBackingUp WRITE setIsBackingUp NOTIFY isBackingUpChanged)
    Q_PROPERTY(bool backupReady READ backupReady WRITE setBackupReady NOTIFY backupReadyChanged)
    Q_PROPERTY(QString backupNotReadyCode READ backupNotReadyCode WRITE setBackupNotReadyCode NOTIFY
                   backupNotReadyCodeChanged)
    Q_PROPERTY(qint64 effectiveTransferRate READ effectiveTransferRate WRITE
                   setEffectiveTransferRate NOTIFY effectiveTransferRateChanged)
    Q_PROPERTY(bool isConnected READ isConnected WRITE setIsConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(QString disconnectedCode READ disconnectedCode WRITE setDisconnectedCode NOTIFY
                   disconnectedCodeChanged)
    Q_PROPERTY(
        bool isMaintaining READ isMaintaining WRITE setIsMaintaining NOTIFY isMaintainingChanged)
    Q_PROPERTY(bool outOfSpace READ outOfSpace WRITE setOutOfSpace NOTIFY outOfSpaceChanged)
    Q_PROPERTY(bool isValidating READ isValidating WRITE setIsValidating NOTIFY isValidatingChanged)
    Q_PROPERTY(
        int computerStatus READ computerStatus WRITE setComputerStatus NOTIFY computerStatusChanged)
    Q_PROPERTY(bool isEmpty READ isEmpty WRITE setIsEmpty NOTIFY isEmptyChanged)
    // Derived on every lastUpdated signal: backing up, scanning, validating or maintaining.
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    // Derived for destinations; always NO for sources.
    Q_PROPERTY(bool canPauseResume READ canPauseResume NOTIFY canPauseResumeChanged)
    // The refresh signal: setting it (seconds since 1970) recomputes isActive, then announces.
    Q_PROPERTY(qint64 lastUpdated READ lastUpdated WRITE setLastUpdated NOTIFY lastUpdatedChanged)
  public:
    explicit VTComputerStats(qint64 computerGUID, QObject* parent = nullptr);

    qint64 computerGUID() const { return computerGUID_; }
    std::optional<qint64> UID() const override { return computerGUID_; }
    bool isBackingUp() const { return isBackingUp_; }
    void setIsBackingUp(bool value);
    bool backupReady() const { return backupReady_; }
    void setBackupReady(bool value);
    const QString& backupNotReadyCode() const { return backupNotReadyCode_; }
    void setBackupNotReadyCode(const QString& value);
    qint64 effectiveTransferRate() const { return effectiveTransferRate_; }
    void setEffectiveTransferRate(qint64 value);
    bool isConnected() const { return isConnected_; }
    void setIsConnected(bool value);
    const QString& disconnectedCode() const { return disconnectedCode_; }
    void setDisconnectedCode(const QString& value);
    bool isMaintaining() const { return isMaintaining_; }
    void setIsMaintaining(bool value);
    bool outOfSpace() const { return outOfSpace_; }
    void setOutOfSpace(bool value);
    bool isValidating() const { return isValidating_; }
    void setIsValidating(bool value);
    int computerStatus() const { return computerStatus_; }
    void setComputerStatus(int value);
    bool isEmpty() const { return isEmpty_; }
    void setIsEmpty(bool value);
    bool isActive() const { return isActive_; }
    bool canPauseResume() const { return canPauseResume_; }
    qint64 lastUpdated() const { return lastUpdated_; }
    void setLastUpdated(qint64 seconds);

    // isActive = backing up, scanning, validating or maintaining; always announced.
    void calcAndSetIsActive();

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void isBackingUpChanged();
    void backupReadyChanged();
    void backupNotReadyCodeChanged();
    void effectiveTransferRateChanged();
    void isConnectedChanged();
    void disconnectedCodeChanged();
    void isMaintainingChanged();
    void outOfSpaceChanged();
    void isValidatingChanged();
    void computerStatusChanged();
    void isEmptyChanged();
    void isActiveChanged();
    void canPauseResumeChanged();
    void lastUpdatedChanged();

  protected:
    // Announces only a real change.
    void setCanPauseResume(bool value);

  private:
    qint64 computerGUID_;
    bool isBackingUp_ = false;
    bool backupReady_ = false;
    QString backupNotReadyCode_;
    qint64 effectiveTransferRate_ = 0;
    bool isConnected_ = false;
    QString disconnectedCode_;
    bool isMaintaining_ = false;
    bool outOfSpace_ = false;
    bool isValidating_ = false;
    int computerStatus_ = VTComputerStatusUnknown;
    bool isEmpty_ = true;
    bool isActive_ = false;
    bool canPauseResume_ = false;
    qint64 lastUpdated_ = 0;
};

#pragma once

#include "model/VTDecimal.h"
#include "model/VTSelfObserver.h"

// Progress numbers shared by the statistics of computers and backup sets.
class VTBaseStats : public VTSelfObserver {
    Q_OBJECT
    // A fraction 0 to 1 for a backup set, a percentage 0 to 100 for a source or destination.
    Q_PROPERTY(VTDecimal completionRatio READ completionRatio WRITE setCompletionRatio NOTIFY
                   completionRatioChanged)
    Q_PROPERTY(bool isScanning READ isScanning WRITE setIsScanning NOTIFY isScanningChanged)
    // Milliseconds since 1970.
    Q_PROPERTY(qint64 lastBackupTime READ lastBackupTime WRITE setLastBackupTime NOTIFY
                   lastBackupTimeChanged)
    Q_PROPERTY(qint64 numBytesScanned READ numBytesScanned WRITE setNumBytesScanned NOTIFY
                   numBytesScannedChanged)
    Q_PROPERTY(qint64 numFilesScanned READ numFilesScanned WRITE setNumFilesScanned NOTIFY
                   numFilesScannedChanged)
    Q_PROPERTY(qint64 numRemainingBytes READ numRemainingBytes WRITE setNumRemainingBytes NOTIFY
                   numRemainingBytesChanged)
    Q_PROPERTY(qint64 numRemainingFiles READ numRemainingFiles WRITE setNumRemainingFiles NOTIFY
                   numRemainingFilesChanged)
  public:
    explicit VTBaseStats(QObject* parent = nullptr) : VTSelfObserver(parent) {}

    const VTDecimal& completionRatio() const { return completionRatio_; }
    // Stores and always announces; sources and destinations refine it.
    virtual void setCompletionRatio(const VTDecimal& ratio);
    bool isScanning() const { return isScanning_; }
    void setIsScanning(bool value);
    qint64 lastBackupTime() const { return lastBackupTime_; }
    void setLastBackupTime(qint64 value);
    qint64 numBytesScanned() const { return numBytesScanned_; }
    void setNumBytesScanned(qint64 value);
    qint64 numFilesScanned() const { return numFilesScanned_; }
    void setNumFilesScanned(qint64 value);
    qint64 numRemainingBytes() const { return numRemainingBytes_; }
    void setNumRemainingBytes(qint64 value);
    qint64 numRemainingFiles() const { return numRemainingFiles_; }
    void setNumRemainingFiles(qint64 value);

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void completionRatioChanged();
    void isScanningChanged();
    void lastBackupTimeChanged();
    void numBytesScannedChanged();
    void numFilesScannedChanged();
    void numRemainingBytesChanged();
    void numRemainingFilesChanged();

  protected:
    // For subclasses whose setter decides itself whether to announce.
    void storeCompletionRatio(const VTDecimal& ratio) { completionRatio_ = ratio; }

  private:
    VTDecimal completionRatio_;
    bool isScanning_ = false;
    qint64 lastBackupTime_ = 0;
    qint64 numBytesScanned_ = 0;
    qint64 numFilesScanned_ = 0;
    qint64 numRemainingBytes_ = 0;
    qint64 numRemainingFiles_ = 0;
};

#pragma once

#include "model/VTComputerStats.h"

// Statistics of a computer that backs up to this one (one value of "InboundStats").
class VTSourceStats : public VTComputerStats {
    Q_OBJECT
    // Bytes of this source's archive here.
    Q_PROPERTY(qint64 archiveSize READ archiveSize WRITE setArchiveSize NOTIFY archiveSizeChanged)
    Q_PROPERTY(qint64 receiveRateInBytesPerSec READ receiveRateInBytesPerSec WRITE
                   setReceiveRateInBytesPerSec NOTIFY receiveRateInBytesPerSecChanged)
  public:
    explicit VTSourceStats(qint64 computerGUID, QObject* parent = nullptr);

    qint64 archiveSize() const { return archiveSize_; }
    void setArchiveSize(qint64 value);
    qint64 receiveRateInBytesPerSec() const { return receiveRateInBytesPerSec_; }
    void setReceiveRateInBytesPerSec(qint64 value);

    // Takes the fraction the service sends and stores it as a percentage; announces only a
    // change of value.
    void setCompletionRatio(const VTDecimal& fraction) override;

    // Copies the keys, clears isEmpty and signals lastUpdated, which recomputes the status.
    bool updatePropertiesFromDict(const VTJSONObject& dict) override;

    // Offline when not connected, complete at exactly 100 per cent, safe otherwise.
    void VT_calculateAndSetComputerStatus();

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void archiveSizeChanged();
    void receiveRateInBytesPerSecChanged();

  private:
    qint64 archiveSize_ = 0;
    qint64 receiveRateInBytesPerSec_ = 0;
};

#pragma once

#include "ui/text/VTComputerStatusTextBuilder.h"

// The status line of a source, a computer that backs up to this computer. Sources have no
// details line.
class VTSourceStatusTextBuilder : public VTComputerStatusTextBuilder {
    Q_OBJECT
  public:
    // The one source builder of the process, created on first call.
    static VTSourceStatusTextBuilder* sharedTextBuilder();

    // stats must be a VTSourceStats; the result has "text" only.
    QVariantMap buildStatusTextDict(const VTComputerStats* stats) override;
    // The source has scanned some bytes for backup.
    bool hasFilesSelectedForBackup(const VTComputerStats* stats) override;

    void retranslate() override;

  private:
    VTSourceStatusTextBuilder();

    QString VT_statusText(const VTComputerStats* stats, bool* missing);

    QString statusDOToutofspace_;
};

#pragma once

#include "messaging/VTTokenMessage.h"
#include "model/BackupStatsSummary.h"

// The legacy service's statistics summary.
class BackupStatsSummaryMessage : public VTTokenMessage {
    VT_MESSAGE_TYPE(BackupStatsSummaryMessage, 95)
  public:
    // Decodes the summary from the tokens; throws std::invalid_argument when there are fewer
    // than fourteen, so that the message is dropped.
    void initWithData(const QByteArray& payload) override;

    const BackupStatsSummary& stats() const { return stats_; }

  private:
    BackupStatsSummary stats_;
};

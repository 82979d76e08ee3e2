#pragma once

#include "messaging/VTJSONDictMessage.h"
#include "model/VTStatsDocument.h"
#include "model/VTVaultorState.h"

// The statistics document. It is parsed on first use.
class StatsMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(StatsMessage, -23102)
  public:
    // What the state reads; valid while the message lives.
    VTStatsDocument statsDocument() { return VTStatsDocument(dictForReading()); }
    // Updates the state from the statistics.
    void applyTo(VTVaultorState& state) { state.updateFromStats(statsDocument()); }

    VTJSONObject destinationStats() { return statsDocument().destinationStats(); }
    VTJSONObject sourceStats() { return statsDocument().sourceStats(); }
    VTJSONObject restoreStats() { return statsDocument().restoreStats(); }
    qint64 resumeSystemTime() { return statsDocument().resumeSystemTime(); }
    VTBackupStatus backupStatus() { return statsDocument().backupStatus(); }
};

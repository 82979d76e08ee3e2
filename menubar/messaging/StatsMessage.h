#pragma once

#include "VTJSONDictMessage.h"
#include "VTJSONObject.h"
#include "VTModelTypes.h"

// The statistics document. Each accessor parses the document on first use.
class StatsMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(StatsMessage, -23102)
  public:
    // "OutboundStats": one dictionary per destination, with "guid" and one entry per set keyed
    // by the set ID in decimal. Empty when absent or not a dictionary.
    VTJSONObject destinationStats() { return section(QLatin1StringView("OutboundStats")); }
    // "InboundStats": one dictionary per source, with "guid".
    VTJSONObject sourceStats() { return section(QLatin1StringView("InboundStats")); }
    // "RestoreStats": one dictionary per restore.
    VTJSONObject restoreStats() { return section(QLatin1StringView("RestoreStats")); }
    // "resumeSystemTime": milliseconds since 1970 when the system-wide pause ends; 0 if absent.
    qint64 resumeSystemTime();
    // "backupStatus" as a VTBackupStatus (unknown when absent).
    VTBackupStatus backupStatus();

  private:
    VTJSONObject section(QLatin1StringView key) {
        return dictForReading().object(key).value_or(VTJSONObject());
    }
};

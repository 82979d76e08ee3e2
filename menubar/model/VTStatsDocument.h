#pragma once

#include <QLatin1StringView>

#include "model/VTJSONObject.h"
#include "model/VTModelTypes.h"

// The statistics document as the state reads it: one dictionary per destination, source and
// restore, the end of a system-wide pause and the overall status. A view over a dictionary
// that whoever received the document keeps alive for the length of the update.
class VTStatsDocument {
  public:
    VTStatsDocument() = default;
    explicit VTStatsDocument(VTJSONObject root) : root_(std::move(root)) {}

    // "OutboundStats": one dictionary per destination, with "guid" and one entry per set keyed
    // by the set ID in decimal. Empty when absent or not a dictionary.
    VTJSONObject destinationStats() const { return section(QLatin1StringView("OutboundStats")); }
    // "InboundStats": one dictionary per source, with "guid".
    VTJSONObject sourceStats() const { return section(QLatin1StringView("InboundStats")); }
    // "RestoreStats": one dictionary per restore.
    VTJSONObject restoreStats() const { return section(QLatin1StringView("RestoreStats")); }
    // "resumeSystemTime": milliseconds since 1970 when the system-wide pause ends; 0 if absent,
    // the nearest end of the 64-bit range for a number beyond it.
    qint64 resumeSystemTime() const;
    // "backupStatus" as a VTBackupStatus (unknown when absent).
    VTBackupStatus backupStatus() const;

  private:
    VTJSONObject section(QLatin1StringView key) const {
        return root_.object(key).value_or(VTJSONObject());
    }

    VTJSONObject root_;
};

#pragma once

#include <QJsonObject>

#include "VTJSONDictMessage.h"
#include "VTModelTypes.h"

// The statistics document. Each accessor parses the document on first use.
class StatsMessage : public VTJSONDictMessage {
    VT_MESSAGE_TYPE(StatsMessage, -23102)
  public:
    // "OutboundStats": one dictionary per destination, with "guid" and one entry per set keyed
    // by the set ID in decimal.
    QJsonObject destinationStats() {
        return dict().value(QStringLiteral("OutboundStats")).toObject();
    }
    // "InboundStats": one dictionary per source, with "guid".
    QJsonObject sourceStats() { return dict().value(QStringLiteral("InboundStats")).toObject(); }
    // "RestoreStats": one dictionary per restore.
    QJsonObject restoreStats() { return dict().value(QStringLiteral("RestoreStats")).toObject(); }
    // "resumeSystemTime": milliseconds since 1970 when the system-wide pause ends; 0 if absent.
    qint64 resumeSystemTime();
    // "backupStatus" as a VTBackupStatus (unknown when absent).
    VTBackupStatus backupStatus();
};

#include "model/VTStatsDocument.h"

#include "model/VTModelUtils.h"

qint64 VTStatsDocument::resumeSystemTime() const {
    return VTModelUtils::int64FromJSON(root_.value(QLatin1StringView("resumeSystemTime")));
}

VTBackupStatus VTStatsDocument::backupStatus() const {
    return VTModelUtils::stringToBackupStatus(
        root_.value(QLatin1StringView("backupStatus")).toString());
}

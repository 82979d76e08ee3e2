#include "model/VTStatsDocument.h"

#include "model/VTModelUtils.h"

qint64 VTStatsDocument::resumeSystemTime() const {
    const QJsonValue value = root_.value(QLatin1StringView("resumeSystemTime"));
    return value.toInteger(static_cast<qint64>(value.toDouble()));
}

VTBackupStatus VTStatsDocument::backupStatus() const {
    return VTModelUtils::stringToBackupStatus(
        root_.value(QLatin1StringView("backupStatus")).toString());
}

#include "StatsMessage.h"

#include "VTModelUtils.h"

qint64 StatsMessage::resumeSystemTime() {
    const QJsonValue value = dictForReading().value(QLatin1StringView("resumeSystemTime"));
    return value.toInteger(static_cast<qint64>(value.toDouble()));
}

VTBackupStatus StatsMessage::backupStatus() {
    return VTModelUtils::stringToBackupStatus(
        dictForReading().value(QLatin1StringView("backupStatus")).toString());
}

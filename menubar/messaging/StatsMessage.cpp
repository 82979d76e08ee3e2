#include "StatsMessage.h"

#include "VTModelUtils.h"

qint64 StatsMessage::resumeSystemTime() {
    const QJsonValue value = dict().value(QStringLiteral("resumeSystemTime"));
    return value.toInteger(static_cast<qint64>(value.toDouble()));
}

VTBackupStatus StatsMessage::backupStatus() {
    return VTModelUtils::stringToBackupStatus(
        dict().value(QStringLiteral("backupStatus")).toString());
}

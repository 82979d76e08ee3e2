#pragma once

#include <QJsonObject>
#include <QString>

// One entry of a command response.
struct VTCommandTrayResponseResult {
    QString errorMsg;
    QString resultMsg;
    bool success = false;

    static VTCommandTrayResponseResult fromJSON(const QJsonObject& entry) {
        VTCommandTrayResponseResult result;
        result.errorMsg = entry.contains(QLatin1String("error"))
                              ? entry.value(QLatin1String("error")).toVariant().toString()
                              : QStringLiteral("ERROR MESSAGE NOT GIVEN.");
        result.resultMsg = entry.contains(QLatin1String("result"))
                               ? entry.value(QLatin1String("result")).toVariant().toString()
                               : QStringLiteral("RESULT INFO NOT GIVEN.");
        result.success = entry.value(QLatin1String("success")).toBool(false);
        return result;
    }
};

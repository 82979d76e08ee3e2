#include "messaging/CommandTrayResponseMessage.h"

#include <QJsonArray>

void CommandTrayResponseMessage::initWithData(const QByteArray& payload) {
    VTJSONDictMessage::initWithData(payload);
    if (!hasContentString()) {
        return;  // not UTF-8: the first access reports it
    }
    const QJsonObject document = dict();
    success_ = document.value(QLatin1String("success")).toBool(false);
    if (document.contains(QLatin1String("error"))) {
        errorMsg_ = document.value(QLatin1String("error")).toVariant().toString();
    }
    for (const QJsonValue& entry : document.value(QLatin1String("results")).toArray()) {
        results_.append(VTCommandTrayResponseResult::fromJSON(entry.toObject()));
    }
}

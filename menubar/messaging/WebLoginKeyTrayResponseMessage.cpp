#include "messaging/WebLoginKeyTrayResponseMessage.h"

#include "messaging/VTJSONText.h"

void WebLoginKeyTrayResponseMessage::initWithData(const QByteArray& payload) {
    VTJSONDictMessage::initWithData(payload);
    if (!hasContentString()) {
        return;  // not UTF-8: the first access reports it
    }
    const QJsonObject document = dict();
    key_ = VTJSONText::textOf(document.value(QLatin1String("webLoginKey")));
    computerParam_ = VTJSONText::textOf(document.value(QLatin1String("computer")));
}

#include "messaging/StatusTrayMessage.h"

#include <stdexcept>

#include "app/VTLogger.h"
#include "app/VTUtils.h"
#include "model/VTModelUtils.h"

namespace {

QString defaultAppName() {
    return VTUtils::stringFromDefaultPlist(QStringLiteral("kDefaultAppName")).toString();
}

}  // namespace

bool StatusTrayMessage::isUpgrading() const {
    const std::optional<QString> token = tokenAt(1);
    if (!token) {
        const char* message = "StatusTrayMessage without its upgrading token";
        VTLogger::sharedLoggerForClass(staticClassName())->warning(QString::fromLatin1(message));
        throw std::out_of_range(message);
    }
    return VTModelUtils::BOOLfromJSONBooleanString(*token);
}

QString StatusTrayMessage::appBaseName() const {
    return tokenAt(2).value_or(defaultAppName());
}

QString StatusTrayMessage::appName() const {
    return tokenAt(3).value_or(defaultAppName());
}

qint64 StatusTrayMessage::version() const {
    const std::optional<QString> token = tokenAt(4);
    return token ? VTModelUtils::int64Value(*token) : 0;
}

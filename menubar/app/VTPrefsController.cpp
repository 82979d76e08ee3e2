#include "app/VTPrefsController.h"

#include "app/VTUtils.h"
#include "platform/VTUserDefaults.h"

VTPrefsController::VTPrefsController(QObject* parent) : VTLoggingObject(parent) {
    QObject::connect(
        VTUtils::userDefaults(), &VTUserDefaults::valueChanged, this, [this](const QString& key) {
            if (key == QLatin1String("VTDefaultsKeyIconThemeName")) {
                log()->info(QStringLiteral("Theme named changed but we're ignore it?"));
            }
        });
}

void VTPrefsController::setLaunchOnLogin(bool launch) {
    if (!launch) {
        VTUtils::removeAppFromLoginItems(false);
        return;
    }
    if (VTUtils::appAlreadyInLoginItems(true, false)) {
        return;
    }
    if (VTUtils::appAlreadyInLoginItems(false, false)) {
        VTUtils::removeAppFromLoginItems(false);
    }
    VTUtils::addAppToLoginItems(false);
}

#include "ui/VTTrayWiring.h"

#include "app/MasterControlProgram.h"
#include "app/VTPrefsController.h"
#include "app/VTStatusNotifier.h"
#include "app/VTUtils.h"
#include "platform/VTDesktopNotifications.h"
#include "platform/VTSleepWatcher.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/icon/VTNoTrayFallback.h"
#include "ui/icon/VTStatusItemIconController.h"
#include "ui/icon/VTStatusItemIconView.h"
#include "ui/menu/VTStatusItemMenuController.h"
#include "ui/menu/VTStatusItemMenuHandler.h"
#include "ui/menu/VTStatusWindow.h"
#include "ui/prefs/VTPrefsWindowController.h"

VTTrayWiring VTTrayWiring::build(QObject* owner, VTAppWiring::Options options,
                                 VTQtDesktopServices* desktop) {
    VTUtils::setDesktopServices(desktop);
    // The theme default must be in place before the first image is looked up.
    VTPrefsWindowController::initialize();
    VTTrayWiring wiring;
    wiring.iconController = new VTStatusItemIconController(owner);
    wiring.iconView = new VTStatusItemIconView(owner);
    wiring.menuController = new VTStatusItemMenuController(owner);
    wiring.menuHandler = new VTStatusItemMenuHandler(owner);
    wiring.prefsController = new VTPrefsController(owner);
    wiring.prefsWindowController = new VTPrefsWindowController(owner);

    options.iconController = wiring.iconController;
    options.menuController = wiring.menuController;
    options.menuHandler = wiring.menuHandler;
    options.prefsController = wiring.prefsController;
    wiring.core = VTAppWiring::build(owner, options);

    VTPrefsWindowController* prefs = wiring.prefsWindowController;
    prefs->setPrefsController(wiring.prefsController);
    prefs->awakeFromNib();

    VTStatusItemMenuHandler* handler = wiring.menuHandler;
    handler->setState(wiring.core.state);
    handler->setVtsController(wiring.core.vtsController);
    handler->setShowPreferences([prefs] { prefs->showPrefsWindow(); });

    VTStatusItemMenuController* menu = wiring.menuController;
    menu->setState(wiring.core.state);
    menu->setMenuHandler(handler);
    menu->setApplicationController(wiring.core.mcp);
    menu->awakeFromNib();

    VTStatusItemIconController* icon = wiring.iconController;
    icon->setState(wiring.core.state);
    icon->setCustomView(wiring.iconView);
    icon->setMenu(menu->statusItemMenu());
    icon->setContextMenu(menu->contextMenu());
    icon->setMenuHandler(handler);
    icon->awakeFromNib();

    wiring.statusWindow = new VTStatusWindow(owner);
    wiring.statusWindow->setState(wiring.core.state);
    wiring.statusWindow->setMenuHandler(handler);
    wiring.statusWindow->setApplicationController(wiring.core.mcp);
    wiring.statusWindow->setActions({menu->pauseMenu(), menu->resumeMenuItem(),
                                     menu->openAppMenuItem(), menu->accountMenuItem(),
                                     menu->preferencesMenuItem(), menu->quitMenuItem()});
    wiring.statusWindow->awakeFromNib();
    wiring.noTrayFallback = new VTNoTrayFallback(wiring.statusWindow->window(), owner);

    wiring.desktopNotifications = new VTDesktopNotifications(QDBusConnection::sessionBus(), owner);
    wiring.statusNotifier =
        new VTStatusNotifier(wiring.core.state, wiring.desktopNotifications, owner);
    QObject::connect(wiring.core.sleepWatcher, &VTSleepWatcher::didWake, wiring.statusNotifier,
                     &VTStatusNotifier::didWake);
    return wiring;
}

void VTTrayWiring::startDesktopWatches() const {
    statusNotifier->start();
    noTrayFallback->start();
}

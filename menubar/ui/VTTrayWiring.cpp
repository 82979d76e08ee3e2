#include "ui/VTTrayWiring.h"

#include "app/MasterControlProgram.h"
#include "app/VTUtils.h"
#include "ui/VTQtDesktopServices.h"
#include "ui/icon/VTStatusItemIconController.h"
#include "ui/icon/VTStatusItemIconView.h"
#include "ui/menu/VTStatusItemMenuController.h"
#include "ui/menu/VTStatusItemMenuHandler.h"
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
    wiring.prefsWindowController = new VTPrefsWindowController(owner);

    options.iconController = wiring.iconController;
    options.menuController = wiring.menuController;
    options.menuHandler = wiring.menuHandler;
    wiring.core = VTAppWiring::build(owner, options);

    VTStatusItemMenuHandler* handler = wiring.menuHandler;
    handler->setState(wiring.core.state);
    handler->setVtsController(wiring.core.vtsController);
    VTPrefsWindowController* prefs = wiring.prefsWindowController;
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
    return wiring;
}

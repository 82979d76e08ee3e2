#pragma once

#include <QObject>

#include "app/VTAppWiring.h"

class VTPrefsWindowController;
class VTQtDesktopServices;
class VTStatusItemIconController;
class VTStatusItemIconView;
class VTStatusItemMenuController;
class VTStatusItemMenuHandler;

// The client with its tray icon, status panel and preferences: the presentation is made
// first, handed to the core's wiring, then given the state and runs its own set-up steps.
struct VTTrayWiring {
    VTAppWiring core;
    VTStatusItemIconController* iconController = nullptr;
    VTStatusItemIconView* iconView = nullptr;
    VTStatusItemMenuController* menuController = nullptr;
    VTStatusItemMenuHandler* menuHandler = nullptr;
    VTPrefsWindowController* prefsWindowController = nullptr;

    // Everything is parented to `owner`. The desktop services outlive the wiring.
    static VTTrayWiring build(QObject* owner, VTAppWiring::Options options,
                              VTQtDesktopServices* desktop);
};

#pragma once

#include <QObject>

#include "app/VTAppWiring.h"

class VTDesktopNotifications;
class VTNoTrayFallback;
class VTPrefsController;
class VTPrefsWindowController;
class VTQtDesktopServices;
class VTStatusItemIconController;
class VTStatusItemIconView;
class VTStatusItemMenuController;
class VTStatusItemMenuHandler;
class VTStatusNotifier;
class VTStatusWindow;

// The client with its tray icon, status panel and preferences: the presentation is made
// first, handed to the core's wiring, then given the state and runs its own set-up steps.
// The desktop notices and the window that stands in for a missing tray are made here and
// started by whoever runs the client (startDesktopWatches), so that tests of the panel run
// without either.
struct VTTrayWiring {
    VTAppWiring core;
    VTStatusItemIconController* iconController = nullptr;
    VTStatusItemIconView* iconView = nullptr;
    VTStatusItemMenuController* menuController = nullptr;
    VTStatusItemMenuHandler* menuHandler = nullptr;
    VTPrefsController* prefsController = nullptr;
    VTPrefsWindowController* prefsWindowController = nullptr;
    VTStatusWindow* statusWindow = nullptr;
    VTNoTrayFallback* noTrayFallback = nullptr;
    VTDesktopNotifications* desktopNotifications = nullptr;
    VTStatusNotifier* statusNotifier = nullptr;

    // Everything is parented to `owner`. The desktop services outlive the wiring.
    static VTTrayWiring build(QObject* owner, VTAppWiring::Options options,
                              VTQtDesktopServices* desktop);
    // Starts the notices (muted for their first minute) and the wait for a tray.
    void startDesktopWatches() const;
};

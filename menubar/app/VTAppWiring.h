#pragma once

#include <QObject>
#include <QStringList>
#include <optional>

class MasterControlProgram;
class VTLaunchOnLoginSetting;
class VTMenuHandler;
class VTStatusIcon;
class VTStatusMenu;
class VTConnectionController;
class VTMessageHandler;
class VTSleepWatcher;
class VTStatsRequestor;
class VTT_MacAppDelegate;
class VTVTSController;
class VTVaultorState;

// The client's long-lived objects, made and handed to one another in one place; then each
// runs its set-up step. The presentation (icon, menu, preferences) joins through the
// optional collaborators of the controller.
struct VTAppWiring {
    struct Options {
        // A command line for the connections other than the process's own (tests).
        std::optional<QStringList> connectionArguments;
        int retryIntervalMs = 3000;
        VTStatusIcon* iconController = nullptr;
        VTStatusMenu* menuController = nullptr;
        VTLaunchOnLoginSetting* prefsController = nullptr;
        VTMenuHandler* menuHandler = nullptr;
    };

    VTVaultorState* state = nullptr;
    VTConnectionController* connectionController = nullptr;
    VTMessageHandler* messageHandler = nullptr;
    VTStatsRequestor* statsRequestor = nullptr;
    VTVTSController* vtsController = nullptr;
    // Sleep and wake of the machine, for whoever else must know of them.
    VTSleepWatcher* sleepWatcher = nullptr;
    MasterControlProgram* mcp = nullptr;
    VTT_MacAppDelegate* appDelegate = nullptr;

    // Everything is parented to `owner`.
    static VTAppWiring build(QObject* owner, const Options& options);
};

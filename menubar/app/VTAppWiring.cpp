#include "app/VTAppWiring.h"

#include "app/MasterControlProgram.h"
#include "app/VTT_MacAppDelegate.h"
#include "app/VTUtils.h"
#include "messaging/VTConnectionController.h"
#include "messaging/VTMessageHandler.h"
#include "messaging/VTStatsRequestor.h"
#include "messaging/VTVTSController.h"
#include "model/VTVaultorState.h"
#include "platform/VTSleepWatcher.h"

VTAppWiring VTAppWiring::build(QObject* owner, const Options& options) {
    VTAppWiring wiring;
    wiring.state = new VTVaultorState(VTUtils::userDefaults(), owner);
    wiring.connectionController = new VTConnectionController(owner);
    wiring.statsRequestor = new VTStatsRequestor(owner);
    wiring.vtsController = new VTVTSController(wiring.statsRequestor, owner);

    MasterControlProgram::Collaborators collaborators;
    collaborators.connectionController = wiring.connectionController;
    collaborators.vtsController = wiring.vtsController;
    collaborators.state = wiring.state;
    collaborators.statsRequestor = wiring.statsRequestor;
    collaborators.iconController = options.iconController;
    collaborators.menuController = options.menuController;
    collaborators.prefsController = options.prefsController;
    wiring.mcp = new MasterControlProgram(collaborators, owner);
    wiring.messageHandler = new VTMessageHandler(wiring.mcp, wiring.state, owner);
    wiring.mcp->setMessageHandler(wiring.messageHandler);
    wiring.appDelegate = new VTT_MacAppDelegate(wiring.mcp, owner);

    wiring.sleepWatcher = new VTSleepWatcher(owner);
    wiring.sleepWatcher->start();
    wiring.connectionController->setSleepWatcher(wiring.sleepWatcher);
    wiring.connectionController->setDelegate(wiring.mcp);
    wiring.connectionController->setConnectionDelegate(wiring.messageHandler);
    wiring.connectionController->setRetryInterval(options.retryIntervalMs);
    if (options.connectionArguments) {
        wiring.connectionController->setConnectionArguments(*options.connectionArguments);
    }

    // Set-up steps, once every reference is in place.
    wiring.mcp->setMenuHandler(options.menuHandler);
    wiring.mcp->awakeFromNib();
    wiring.statsRequestor->awakeFromNib();
    wiring.connectionController->awakeFromNib();
    return wiring;
}

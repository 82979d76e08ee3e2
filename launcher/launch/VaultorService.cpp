#include "launch/VaultorService.h"

#include <cstdio>
#include <utility>

#include "launch/JavaLaunchError.h"

VaultorService::VaultorService(SystemLog& log, const SystemVersion& systemVersion,
                               JavaLauncher& launcher, std::string bundledRuntimeMinimumVersion)
    : log_(log),
      systemVersion_(systemVersion),
      launcher_(launcher),
      bundledRuntimeMinimumVersion_(std::move(bundledRuntimeMinimumVersion)) {}

int VaultorService::main(int argc, char** argv) {
    try {
        return launch(argc, argv);
    } catch (const JavaLaunchError& error) {
        return terminate(error);
    }
}

int VaultorService::launch(int argc, char** argv) {
    log_.notice("LAUNCH VaultorService");
    for (int i = 0; i < argc; ++i) {
        log_.notice("Argument[" + std::to_string(i) + "]: " + argv[i]);
    }
    std::string version = systemVersion_.getSystemVersion();
    log_.notice("OS X Version: " + version);
    int result = 0;
    if (systemVersion_.isOSVersionGreaterThanOrEqualTo(version.c_str(),
                                                       bundledRuntimeMinimumVersion_.c_str())) {
        log_.notice("Supports Java 1.7, use bundled JRE.");
        result = launcher_.launchWithBundledJRE(argc, argv);
    } else {
        result = launcher_.launchWithOsJRE(argc, argv);
    }
    log_.notice("EXIT VaultorService");
    return result;
}

// The launch error ends the launcher: it is the last line in the log, and whoever started the
// service sees it on standard error too.
int VaultorService::terminate(const JavaLaunchError& error) {
    log_.error(error.what());
    std::fprintf(stderr, "%s\n", error.what());
    return error.exitStatus();
}

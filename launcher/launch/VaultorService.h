#pragma once

#include <string>

#include "launch/JavaLauncher.h"
#include "launch/SystemLog.h"
#include "launch/SystemVersion.h"

class JavaLaunchError;

// The launcher's start-up: logs what it was given, picks the Java runtime by the system
// version and runs the service's command line on it, unchanged.
class VaultorService {
  public:
    // From `bundledRuntimeMinimumVersion` on, the runtime that ships with the product is used.
    VaultorService(SystemLog& log, const SystemVersion& systemVersion, JavaLauncher& launcher,
                   std::string bundledRuntimeMinimumVersion);

    // Returns the Java program's exit status, or the launch error's status when the shipped
    // runtime cannot start it.
    int main(int argc, char** argv);

  private:
    int launch(int argc, char** argv);
    int terminate(const JavaLaunchError& error);

    SystemLog& log_;
    const SystemVersion& systemVersion_;
    JavaLauncher& launcher_;
    std::string bundledRuntimeMinimumVersion_;
};

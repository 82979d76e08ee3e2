#pragma once

#include <optional>
#include <string>

#include "launch/SystemLog.h"

// The two ways to start Java with the service's command line: the runtime that ships with the
// product, loaded into this process, or the system's `java`, which replaces this process.
class JavaLauncher {
  public:
    // `bundledRuntimeLibrary` is the runtime's launcher library, or nothing when its place
    // cannot be known (no home folder); `osJava` is the system's java program.
    JavaLauncher(SystemLog& log, std::optional<std::string> bundledRuntimeLibrary,
                 std::string osJava);

    // Runs the Java program to its end and returns its status; throws JavaLaunchError when the
    // runtime is missing or unusable.
    int launchWithBundledJRE(int argc, char** argv);

    // Replaces the process with the system's java; returns -1 only when that fails.
    int launchWithOsJRE(int argc, char** argv);

  private:
    void logArguments(int argc, char** argv);

    SystemLog& log_;
    std::optional<std::string> bundledRuntimeLibrary_;
    std::string osJava_;
};

#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// Where the Java runtimes live on this system, and from which kernel release on the runtime
// that ships with the product runs.
class RuntimeLayout {
  public:
    // The oldest kernel release the shipped runtime supports.
    static constexpr const char* kBundledRuntimeMinimumVersion = "3.10.0";

    // The system's java program, used on older systems.
    static constexpr const char* kOsJava = "/usr/bin/java";

    // The shipped runtime's launcher library in the application-image layout: under /opt for
    // root (effective user id 0), under the home folder's .local for anyone else. Nothing when
    // the home folder is unknown.
    static std::optional<std::string> bundledRuntimeLibrary(uid_t effectiveUser,
                                                            const std::optional<std::string>& home);

    // The same for the user this process runs as.
    static std::optional<std::string> bundledRuntimeLibraryForCurrentUser();

    // $HOME, or the password database's entry when it is not set.
    static std::optional<std::string> homeDirectory();
};

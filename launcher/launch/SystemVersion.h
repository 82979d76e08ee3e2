#pragma once

#include <string>

#include "launch/SystemLog.h"
#include "launch/SystemVersionSource.h"

// Finds out which version of the system the launcher runs on and compares version texts; the
// answer decides which Java runtime starts the service.
class SystemVersion {
  public:
    SystemVersion(const SystemVersionSource& source, SystemLog& log);

    // The version as "major.minor.patch", from the first source that answers.
    std::string getSystemVersion() const;

    // The version from the selector queries; a null out-argument is skipped.
    void getSystemVersionMajorMinorBugfix(unsigned* major, unsigned* minor, unsigned* bugfix) const;

    // True unless `version` orders before `compareVersion`; false (and logged) when either is
    // null.
    bool isOSVersionGreaterThanOrEqualTo(const char* version, const char* compareVersion) const;

  private:
    std::string versionFromProperties() const;

    const SystemVersionSource& source_;
    SystemLog& log_;
};

#pragma once

#include <string>

// The running system's version (the kernel release here) and version comparisons. Its messages
// go to the system console, not to the library log.
class OSVersionDetector {
  public:
    // Versions are dot-separated numbers, compared part by part by value after padding both to
    // three parts with ".0": "10.10.1" is above "10.9.5", "10.7" equals "10.7.0". A missing
    // version answers false.
    static bool isOSVersion(const char* version, const char* compareVersion);
    static bool isSystemVersionGreaterThanOrEqualTo(const char* version);
    // "major.minor.patch" of the kernel release ("6.1.0" for "6.1.0-28-amd64").
    static std::string getSystemVersion();
    // The same as numbers; null pointers are skipped. 10.0.0 when the system will not say.
    static void getSystemVersionMajor(int* major, int* minor, int* bugFix);

    // The three leading numbers of a release text such as "6.1.0-28-amd64" or "5.15".
    static bool parseRelease(const std::string& release, int& major, int& minor, int& bugFix);
};

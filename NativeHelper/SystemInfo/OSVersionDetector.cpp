#include "SystemInfo/OSVersionDetector.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "Logging/ZedLogging/ZedSystemConsole.h"

namespace {

std::vector<unsigned long long> paddedParts(const std::string& version) {
    std::vector<unsigned long long> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = version.find('.', start);
        parts.push_back(std::strtoull(version.substr(start, dot - start).c_str(), nullptr, 10));
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    while (parts.size() < 3) {
        parts.push_back(0);
    }
    return parts;
}

}  // namespace

bool OSVersionDetector::isOSVersion(const char* version, const char* compareVersion) {
    if (!version) {
        ZedSystemConsole::log("Unable to compare OS versions. Version is nil");
        return false;
    }
    if (!compareVersion) {
        ZedSystemConsole::log("Unable to compare OS versions. CompareVersion is nil.");
        return false;
    }
    auto left = paddedParts(version);
    auto right = paddedParts(compareVersion);
    left.resize(std::max(left.size(), right.size()), 0);
    right.resize(left.size(), 0);
    return !(left < right);
}

bool OSVersionDetector::isSystemVersionGreaterThanOrEqualTo(const char* version) {
    return isOSVersion(getSystemVersion().c_str(), version);
}

std::string OSVersionDetector::getSystemVersion() {
    int major = 0;
    int minor = 0;
    int bugFix = 0;
    getSystemVersionMajor(&major, &minor, &bugFix);
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(bugFix);
}

void OSVersionDetector::getSystemVersionMajor(int* major, int* minor, int* bugFix) {
    int parts[3] = {10, 0, 0};
    utsname names{};
    if (::uname(&names) != 0) {
        ZedSystemConsole::log("Unable to obtain system version: %ld", static_cast<long>(errno));
    } else if (!parseRelease(names.release, parts[0], parts[1], parts[2])) {
        ZedSystemConsole::log("Unable to obtain system version from release (%s)", names.release);
        parts[0] = 10;
    }
    if (major) {
        *major = parts[0];
    }
    if (minor) {
        *minor = parts[1];
    }
    if (bugFix) {
        *bugFix = parts[2];
    }
}

bool OSVersionDetector::parseRelease(const std::string& release, int& major, int& minor,
                                     int& bugFix) {
    int* targets[3] = {&major, &minor, &bugFix};
    std::size_t position = 0;
    for (int i = 0; i < 3; ++i) {
        *targets[i] = 0;
        if (i > 0) {
            if (position >= release.size() || release[position] != '.') {
                return true;  // "5.15": the missing parts are 0
            }
            ++position;
        }
        const std::size_t start = position;
        while (position < release.size() &&
               std::isdigit(static_cast<unsigned char>(release[position]))) {
            ++position;
        }
        if (position == start) {
            return i > 0;
        }
        *targets[i] = std::atoi(release.substr(start, position - start).c_str());
    }
    return true;
}

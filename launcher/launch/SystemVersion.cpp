#include "launch/SystemVersion.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "launch/NumericCompare.h"

namespace {

// The selector's packed value stops being exact decimal digits with the fourth release of the
// ten series; from there on the separate selectors hold the numbers.
constexpr std::int32_t kLastPackedVersion = 0x103F;

std::string threeNumbers(auto major, auto minor, auto patch) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

std::size_t countParts(std::string_view text) {
    std::size_t parts = 1;
    for (char c : text) {
        if (c == '.') {
            ++parts;
        }
    }
    return parts;
}

// "10.8" and "10" compare as "10.8.0" and "10.0.0", so a missing part never decides the order.
std::string padded(std::string text) {
    while (countParts(text) <= 2) {
        text += ".0";
    }
    return text;
}

}  // namespace

SystemVersion::SystemVersion(const SystemVersionSource& source, SystemLog& log)
    : source_(source), log_(log) {}

std::string SystemVersion::getSystemVersion() const {
    if (std::optional<OperatingSystemVersion> version = source_.operatingSystemVersion()) {
        return threeNumbers(version->majorVersion, version->minorVersion, version->patchVersion);
    }
    std::string text = versionFromProperties();
    if (!text.empty()) {
        return text;
    }
    log_.notice("Falling back to Gestalt...");
    unsigned major = 0;
    unsigned minor = 0;
    unsigned bugfix = 0;
    getSystemVersionMajorMinorBugfix(&major, &minor, &bugfix);
    return threeNumbers(major, minor, bugfix);
}

std::string SystemVersion::versionFromProperties() const {
    std::string path = source_.versionPropertiesPath();
    std::optional<SystemVersionSource::Properties> properties = source_.readVersionProperties();
    if (!properties) {
        log_.error("Could not read system version plist at (" + path + ")");
        return {};
    }
    for (const char* key : {"ProductVersion", "ProductUserVisibleVersion"}) {
        auto found = properties->find(key);
        if (found != properties->end()) {
            return found->second;
        }
    }
    log_.error("Could not find product version in (" + path + ")");
    return {};
}

void SystemVersion::getSystemVersionMajorMinorBugfix(unsigned* major, unsigned* minor,
                                                     unsigned* bugfix) const {
    unsigned parts[3] = {};
    std::int32_t packed = 0;
    long error = source_.versionSelector(kSelectorPackedVersion, &packed);
    if (error == 0 && packed <= kLastPackedVersion) {
        std::uint32_t v = static_cast<std::uint32_t>(packed);
        parts[0] = ((v >> 12) & 0xF) * 10 + ((v >> 8) & 0xF);
        parts[1] = (v >> 4) & 0xF;
        parts[2] = v & 0xF;
    } else {
        const std::uint32_t selectors[3] = {kSelectorMajor, kSelectorMinor, kSelectorBugfix};
        for (std::size_t i = 0; i < 3 && error == 0; ++i) {
            std::int32_t value = 0;
            error = source_.versionSelector(selectors[i], &value);
            parts[i] = static_cast<unsigned>(value);
        }
    }
    if (error != 0) {
        log_.error("Unable to obtain system version: " + std::to_string(error));
        OperatingSystemVersion fallback = source_.fallbackVersion();
        parts[0] = static_cast<unsigned>(fallback.majorVersion);
        parts[1] = static_cast<unsigned>(fallback.minorVersion);
        parts[2] = static_cast<unsigned>(fallback.patchVersion);
    }
    if (major != nullptr) {
        *major = parts[0];
    }
    if (minor != nullptr) {
        *minor = parts[1];
    }
    if (bugfix != nullptr) {
        *bugfix = parts[2];
    }
}

bool SystemVersion::isOSVersionGreaterThanOrEqualTo(const char* version,
                                                    const char* compareVersion) const {
    if (version == nullptr) {
        log_.error("Unable to compare OS versions. Version is nil");
        return false;
    }
    if (compareVersion == nullptr) {
        log_.error("Unable to compare OS versions. CompareVersion is nil.");
        return false;
    }
    return compareNumeric(padded(version), padded(compareVersion)) >= 0;
}

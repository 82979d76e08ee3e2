#include "platform/KernelVersionSource.h"

#include <sys/utsname.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <fstream>
#include <utility>

namespace {

// Packs the version as three decimal digits the way the old selector did (0x1039 is 10.3.9),
// when the numbers fit; otherwise a value past the packed range, which sends readers to the
// separate selectors.
std::int32_t packedVersion(const OperatingSystemVersion& version) {
    constexpr std::int32_t kNotPackable = 0x9999;
    if (version.majorVersion > 99 || version.minorVersion > 9 || version.patchVersion > 9) {
        return kNotPackable;
    }
    return static_cast<std::int32_t>(((version.majorVersion / 10) << 12) |
                                     ((version.majorVersion % 10) << 8) |
                                     (version.minorVersion << 4) | version.patchVersion);
}

std::string threeNumbers(const OperatingSystemVersion& version) {
    return std::to_string(version.majorVersion) + "." + std::to_string(version.minorVersion) + "." +
           std::to_string(version.patchVersion);
}

}  // namespace

KernelVersionSource::KernelVersionSource(std::string release, std::string releaseFile)
    : release_(std::move(release)), releaseFile_(std::move(releaseFile)) {}

KernelVersionSource KernelVersionSource::fromUname() {
    utsname names{};
    if (uname(&names) != 0) {
        return KernelVersionSource("", kReleaseFile);
    }
    return KernelVersionSource(names.release, kReleaseFile);
}

std::optional<OperatingSystemVersion> KernelVersionSource::parseRelease(std::string_view release) {
    long numbers[3] = {};
    const char* position = release.data();
    const char* end = release.data() + release.size();
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (position == end || *position != '.') {
                break;
            }
            ++position;
        }
        bool digit = position != end && *position >= '0' && *position <= '9';
        auto [next, error] = std::from_chars(position, end, numbers[i]);
        if (!digit || error != std::errc() || numbers[i] > INT32_MAX) {
            if (i == 0) {
                return std::nullopt;
            }
            numbers[i] = 0;
            break;
        }
        position = next;
    }
    return OperatingSystemVersion{numbers[0], numbers[1], numbers[2]};
}

std::optional<OperatingSystemVersion> KernelVersionSource::operatingSystemVersion() const {
    return parseRelease(release_);
}

std::string KernelVersionSource::versionPropertiesPath() const {
    return releaseFile_;
}

std::optional<SystemVersionSource::Properties> KernelVersionSource::readVersionProperties() const {
    std::ifstream file(releaseFile_);
    std::string release;
    if (!file || !std::getline(file, release)) {
        return std::nullopt;
    }
    Properties properties;
    if (std::optional<OperatingSystemVersion> version = parseRelease(release)) {
        properties["ProductVersion"] = threeNumbers(*version);
    }
    return properties;
}

long KernelVersionSource::versionSelector(std::uint32_t selector, std::int32_t* response) const {
    std::optional<OperatingSystemVersion> version = parseRelease(release_);
    if (!version) {
        return ENODATA;
    }
    switch (selector) {
        case kSelectorPackedVersion:
            *response = packedVersion(*version);
            return 0;
        case kSelectorMajor:
            *response = static_cast<std::int32_t>(version->majorVersion);
            return 0;
        case kSelectorMinor:
            *response = static_cast<std::int32_t>(version->minorVersion);
            return 0;
        case kSelectorBugfix:
            *response = static_cast<std::int32_t>(version->patchVersion);
            return 0;
        default:
            return EINVAL;
    }
}

OperatingSystemVersion KernelVersionSource::fallbackVersion() const {
    // The first release of the 3 series: older than the shipped runtime supports.
    return {3, 0, 0};
}

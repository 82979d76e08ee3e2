#include "VolumeEnumeration/ZedVolumeEnumerator.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "Categories/ZedCStringArray.h"
#include "Categories/ZedPathComponents.h"
#include "Logging/ZedLogging/ZedLog.h"
#include "include/vtnative.h"
#include "platform/system/ZedDiskLabels.h"
#include "platform/system/ZedMountTable.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;

// The mount points, separated by ", ".
std::string mountPointList(const std::vector<ZedMountTable::Mount>& mounts) {
    std::string text;
    for (const auto& mount : mounts) {
        text += (text.empty() ? "" : ", ") + mount.mountPoint;
    }
    return text;
}

}  // namespace

bool ZedVolumeEnumerator::isListedMountPoint(const std::string& mountPoint) {
    return mountPoint == "/" || ZedPathComponents::isBelow("/media/", mountPoint) ||
           ZedPathComponents::isBelow("/run/media/", mountPoint);
}

std::int32_t ZedVolumeEnumerator::fetchVolumes(char*** volumePaths, char*** volumeNames,
                                               const ZedPlatformSources& sources) {
    if (!volumePaths) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform, "volume_paths is null");
        return -1;
    }
    if (!volumeNames) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform, "volume_names is null");
        return -1;
    }
    *volumePaths = nullptr;
    *volumeNames = nullptr;

    const auto mounts = ZedMountTable::read(sources);
    if (!mounts) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "Unable to read the mount table at (%s)",
                    sources.resolve("/proc/self/mountinfo").c_str());
        return -1;
    }
    if (mounts->empty()) {
        ZedLogInfo(kLogMask, ZedLogContextPlatform, "No mounted volumes found.");
        return 0;
    }

    std::vector<std::string> paths;
    std::vector<std::string> names;
    constexpr std::size_t kMaximumVolumes = std::numeric_limits<std::int32_t>::max();
    for (const auto& mount : *mounts) {
        if (paths.size() == kMaximumVolumes) {
            ZedLogWarn(kLogMask, ZedLogContextPlatform,
                       "Maximum supported number of volumes reached.  Stopping at: (%lu) volumes.",
                       static_cast<unsigned long>(paths.size()));
            break;
        }
        if (!isListedMountPoint(mount.mountPoint)) {
            continue;
        }
        const std::string name = ZedDiskLabels::labelFor(sources, mount.source)
                                     .value_or(ZedPathComponents::lastComponent(mount.mountPoint));
        // A later mount on the same point hides the earlier one: it is the volume seen there.
        const auto listed = std::find(paths.begin(), paths.end(), mount.mountPoint);
        if (listed != paths.end()) {
            names[static_cast<std::size_t>(listed - paths.begin())] = name;
            continue;
        }
        paths.push_back(mount.mountPoint);
        names.push_back(name);
    }
    if (paths.empty()) {
        ZedLogWarn(kLogMask, ZedLogContextPlatform,
                   "Unable to fetch required information for mounted volumes at URLS: (%s)",
                   mountPointList(*mounts).c_str());
        return -1;
    }

    char** pathArray = ZedCStringArray::toNullTerminatedArrayOfCStrings(paths);
    char** nameArray = ZedCStringArray::toNullTerminatedArrayOfCStrings(names);
    const auto count = static_cast<std::int32_t>(paths.size());
    if (!pathArray || !nameArray) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "Unable to copy the volume lists");
        zed_free_cstring_array(pathArray, count);
        zed_free_cstring_array(nameArray, count);
        return -1;
    }
    *volumePaths = pathArray;
    *volumeNames = nameArray;
    return count;
}

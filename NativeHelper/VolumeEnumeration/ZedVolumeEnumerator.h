#pragma once

#include <cstdint>

#include "platform/system/ZedPlatformSources.h"

// The volumes the backup service may offer: the root file system and removable media mounted
// under /media or /run/media (where desktops mount them, as macOS does under /Volumes).
class ZedVolumeEnumerator {
  public:
    static bool isListedMountPoint(const std::string& mountPoint);

    // zed_fetch_volumes against the given sources.
    static std::int32_t fetchVolumes(char*** volumePaths, char*** volumeNames,
                                     const ZedPlatformSources& sources);
};

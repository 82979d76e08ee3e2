#pragma once

#include <optional>
#include <string>

#include "platform/system/ZedPlatformSources.h"

// File-system labels as udev publishes them in /dev/disk/by-label.
namespace ZedDiskLabels {
// The label of the file system on `device` (such as "/dev/sdb1"), if it has one.
std::optional<std::string> labelFor(const ZedPlatformSources& sources, const std::string& device);
// Undoes udev's "\x20"-style escapes in link names.
std::string unescape(const std::string& name);
}  // namespace ZedDiskLabels

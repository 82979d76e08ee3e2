#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system/ZedPlatformSources.h"

// The process's mounts from /proc/self/mountinfo, in the kernel's order.
class ZedMountTable {
  public:
    struct Mount {
        std::string mountPoint;
        std::string source;  // the device, such as "/dev/sdb1"
        std::string fileSystemType;
    };

    // Nothing when the table cannot be read.
    static std::optional<std::vector<Mount>> read(const ZedPlatformSources& sources);
    // The mounts of a whole table's text; lines that cannot be read are left out.
    static std::vector<Mount> parse(const std::string& text);
    static std::optional<Mount> parseLine(const std::string& line);
    // Undoes the kernel's octal escapes ("\040" for a space).
    static std::string unescape(const std::string& field);
};

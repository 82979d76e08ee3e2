#pragma once

#include <optional>
#include <string>

#include "platform/system/ZedPlatformSources.h"

// Wireless network interfaces as /sys/class/net shows them.
namespace ZedWirelessInterfaces {

struct Interface {
    std::string name;             // such as "wlan0"
    std::string hardwareAddress;  // such as "00:11:22:33:44:55"; empty when unknown
};

// The first interface (by name) with a "wireless" or "phy80211" entry.
std::optional<Interface> first(const ZedPlatformSources& sources);

}  // namespace ZedWirelessInterfaces

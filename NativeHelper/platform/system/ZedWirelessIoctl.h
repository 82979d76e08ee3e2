#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What only the kernel can say about a wireless interface, through the wireless-extension ioctls
// that every nl80211 driver still answers. Neither call needs privileges: the scan list is the
// one the system's own network manager last asked for.
namespace ZedWirelessIoctl {

std::optional<std::string> currentSSID(const std::string& interface);
std::vector<std::string> scannedSSIDs(const std::string& interface);

// The network names in a SIOCGIWSCAN result stream.
std::vector<std::string> parseScanResults(const std::vector<std::uint8_t>& stream);

}  // namespace ZedWirelessIoctl

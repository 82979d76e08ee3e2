#pragma once

#include <set>
#include <string>

#include "platform/system/ZedPlatformSources.h"

// Wi-Fi networks the machine has been configured for. Profiles the process may not read (they
// are usually private to root) are passed over.
namespace ZedKnownNetworkProfiles {

// The "ssid" of every [wifi] section of NetworkManager's keyfile connection profiles.
std::set<std::string> networkManagerSSIDs(const ZedPlatformSources& sources);
// The "ssid" of every network block of wpa_supplicant's configuration files.
std::set<std::string> wpaSupplicantSSIDs(const ZedPlatformSources& sources);

// A keyfile value: plain text with backslash escapes, or the older "77;105;70;105;" bytes.
std::string networkManagerValue(const std::string& value);
// A wpa_supplicant value: "quoted text" or hexadecimal bytes.
std::string wpaSupplicantValue(const std::string& value);

}  // namespace ZedKnownNetworkProfiles

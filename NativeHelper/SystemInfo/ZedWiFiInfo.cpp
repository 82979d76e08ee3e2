#include "SystemInfo/ZedWiFiInfo.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "Logging/ZedLogging/ZedLog.h"
#include "platform/system/ZedKnownNetworkProfiles.h"
#include "platform/system/ZedWirelessInterfaces.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
}  // namespace

void ZedWiFiInfo::copyTruncated(char* buffer, const std::string& text, std::size_t maximumBytes) {
    const std::size_t length = std::min(text.size(), maximumBytes);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

char** ZedWiFiInfo::currentSSIDAndMAC() {
    std::fill(std::begin(_current), std::end(_current), nullptr);
    try {
        const auto interface = ZedWirelessInterfaces::first(_sources);
        if (!interface || !_sources.currentSSID) {
            return _current;
        }
        const auto name = _sources.currentSSID(interface->name);
        if (!name || name->empty()) {
            return _current;
        }
        copyTruncated(_name, *name, kMaximumNameBytes);
        _current[0] = _name;
        if (!interface->hardwareAddress.empty()) {
            copyTruncated(_address, interface->hardwareAddress, kMaximumAddressBytes);
            _current[1] = _address;
        }
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "Unable to read the current network: %s",
                    exception.what());
        std::fill(std::begin(_current), std::end(_current), nullptr);
    }
    return _current;
}

char** ZedWiFiInfo::networkSSIDs() {
    std::fill(std::begin(_networks), std::end(_networks), nullptr);
    try {
        std::set<std::string> names;
        const auto interface = ZedWirelessInterfaces::first(_sources);
        if (interface && _sources.scannedSSIDs) {
            for (auto& name : _sources.scannedSSIDs(interface->name)) {
                names.insert(std::move(name));
            }
        }
        names.merge(preferredNetworksOSX107());
        names.merge(preferredNetworksOSX106());
        names.erase("");
        std::vector<std::string> sorted(names.begin(), names.end());
        std::sort(sorted.begin(), sorted.end(), localizedLess);
        const std::size_t count = std::min(sorted.size(), kMaximumNetworks);
        for (std::size_t i = 0; i < count; ++i) {
            copyTruncated(_networkNames[i], sorted[i], kMaximumNameBytes);
            _networks[i] = _networkNames[i];
        }
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "Unable to list known networks: %s",
                    exception.what());
        std::fill(std::begin(_networks), std::end(_networks), nullptr);
    }
    return _networks;
}

std::set<std::string> ZedWiFiInfo::preferredNetworksOSX107() const {
    return ZedKnownNetworkProfiles::networkManagerSSIDs(_sources);
}

std::set<std::string> ZedWiFiInfo::preferredNetworksOSX106() const {
    return ZedKnownNetworkProfiles::wpaSupplicantSSIDs(_sources);
}

bool ZedWiFiInfo::localizedLess(const std::string& left, const std::string& right) {
    const auto folded = [](unsigned char c) { return std::tolower(c); };
    const bool less =
        std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                     [&folded](char a, char b) { return folded(a) < folded(b); });
    const bool greater =
        std::lexicographical_compare(right.begin(), right.end(), left.begin(), left.end(),
                                     [&folded](char a, char b) { return folded(a) < folded(b); });
    return less || (!greater && left < right);
}

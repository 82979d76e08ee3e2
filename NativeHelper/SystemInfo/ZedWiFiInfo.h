#pragma once

#include <cstddef>
#include <set>
#include <string>

#include "platform/system/ZedPlatformSources.h"

// The Wi-Fi answers and the storage they point into. Each answer overwrites the storage of the
// previous answer of the same kind, so the caller copies what it needs before asking again.
class ZedWiFiInfo {
  public:
    static constexpr std::size_t kMaximumNameBytes = 32;
    static constexpr std::size_t kMaximumAddressBytes = 23;
    static constexpr std::size_t kMaximumNetworks = 100;

    explicit ZedWiFiInfo(const ZedPlatformSources& sources) : _sources(sources) {}

    // {network name, hardware address or null, null}, or {null} when not on a network.
    char** currentSSIDAndMAC();
    // Up to 100 names of networks seen or configured, sorted, then null.
    char** networkSSIDs();

    // Networks NetworkManager has profiles for.
    std::set<std::string> preferredNetworksOSX107() const;
    // Networks wpa_supplicant is configured for.
    std::set<std::string> preferredNetworksOSX106() const;

    // The order networks are listed in: letters compared without regard to case, ties by bytes.
    static bool localizedLess(const std::string& left, const std::string& right);

  private:
    static void copyTruncated(char* buffer, const std::string& text, std::size_t maximumBytes);

    const ZedPlatformSources& _sources;
    char _name[kMaximumNameBytes + 1] = {};
    char _address[kMaximumAddressBytes + 1] = {};
    char* _current[3] = {};
    char _networkNames[kMaximumNetworks][kMaximumNameBytes + 1] = {};
    char* _networks[kMaximumNetworks + 1] = {};
};

// The readers of /proc, /sys and /dev: the volume list (mount table and disk labels), the
// power supplies and the wireless interface. The input writes files into a private root
// (a byte choosing the file, then its content), and every reader reads that root: the volumes
// must be listed mount points with a name each, the charge a percentage, and the Wi-Fi
// answers null-terminated, within their byte limits, sorted, at most 100.
#include <cstring>

#include "Categories/ZedCStringArray.h"
#include "SystemInfo/ZedPowerSource.h"
#include "SystemInfo/ZedWiFiInfo.h"
#include "VolumeEnumeration/ZedVolumeEnumerator.h"
#include "include/vtnative.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"
#include "support/FuzzTree.h"

namespace {

constexpr FuzzTree::Place kPlaces[] = {
    {"/proc/self/mountinfo"},
    {"/dev/disk/by-label/Backup", true},
    {"/dev/disk/by-label/My\\x20Disk", true},
    {"/dev/sdb1"},
    {"/sys/class/power_supply/BAT0/type"},
    {"/sys/class/power_supply/BAT0/scope"},
    {"/sys/class/power_supply/BAT0/capacity"},
    {"/sys/class/power_supply/BAT0/energy_now"},
    {"/sys/class/power_supply/BAT0/energy_full"},
    {"/sys/class/power_supply/BAT0/charge_now"},
    {"/sys/class/power_supply/BAT0/charge_full"},
    {"/sys/class/power_supply/AC/type"},
    {"/sys/class/power_supply/AC/online"},
    {"/sys/class/power_supply/hid-mouse/type"},
    {"/sys/class/power_supply/hid-mouse/scope"},
    {"/sys/class/net/wlan0/wireless/x"},
    {"/sys/class/net/wlan0/address"},
    {"/sys/class/net/eth0/address"},
    {"/sys/class/net/wlp2s0/phy80211", true},
    {"/sys/class/net/wlp2s0/address"},
};

void checkVolumes(const ZedPlatformSources& sources) {
    char** paths = nullptr;
    char** names = nullptr;
    const int32_t count = ZedVolumeEnumerator::fetchVolumes(&paths, &names, sources);
    VT_FUZZ_CHECK(count >= -1);
    VT_FUZZ_CHECK((count > 0) == (paths != nullptr) && (count > 0) == (names != nullptr));
    for (int32_t i = 0; i < count; ++i) {
        VT_FUZZ_CHECK(paths[i] && names[i]);
        VT_FUZZ_CHECK(ZedVolumeEnumerator::isListedMountPoint(paths[i]));
    }
    if (count > 0) {
        VT_FUZZ_CHECK(!paths[count] && !names[count]);
    }
    zed_free_cstring_array(paths, count);
    zed_free_cstring_array(names, count);
}

void checkWiFi(const ZedPlatformSources& sources) {
    ZedWiFiInfo wifi(sources);
    char** current = wifi.currentSSIDAndMAC();
    VT_FUZZ_CHECK(!current[2]);
    if (current[0]) {
        VT_FUZZ_CHECK(std::strlen(current[0]) <= ZedWiFiInfo::kMaximumNameBytes);
    } else {
        VT_FUZZ_CHECK(!current[1]);
    }
    if (current[1]) {
        VT_FUZZ_CHECK(std::strlen(current[1]) <= ZedWiFiInfo::kMaximumAddressBytes);
    }
    char** networks = wifi.networkSSIDs();
    size_t count = 0;
    for (; networks[count]; ++count) {
        VT_FUZZ_CHECK(count < ZedWiFiInfo::kMaximumNetworks);
        VT_FUZZ_CHECK(std::strlen(networks[count]) <= ZedWiFiInfo::kMaximumNameBytes);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    // What the kernel's wireless calls answer: the current network's name and the scan.
    const std::string current(input.takeUntil('\0'));
    const std::string scanned(input.takeUntil('\0'));
    FuzzTree tree;
    tree.fill(input, kPlaces);
    ZedPlatformSources sources;
    sources.root = tree.root();
    sources.currentSSID = [&current](const std::string&) { return std::optional(current); };
    sources.scannedSSIDs = [&scanned](const std::string&) {
        std::vector<std::string> names;
        for (size_t start = 0; start <= scanned.size();) {
            const size_t end = std::min(scanned.find('\n', start), scanned.size());
            names.push_back(scanned.substr(start, end - start));
            start = end + 1;
        }
        return names;
    };

    checkVolumes(sources);
    const int charge = ZedPowerSource::batteryCharge(sources);
    VT_FUZZ_CHECK(charge >= 0 && charge <= 100);
    (void)ZedPowerSource::isRunningOnBattery(sources);
    checkWiFi(sources);
    return 0;
}

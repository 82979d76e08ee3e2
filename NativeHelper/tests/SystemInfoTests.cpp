#include <gtest/gtest.h>

#include <linux/wireless.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SystemInfo/OSVersionDetector.h"
#include "SystemInfo/ZedPowerSource.h"
#include "SystemInfo/ZedProxyInfo.h"
#include "SystemInfo/ZedWiFiInfo.h"
#include "VolumeEnumeration/ZedVolumeEnumerator.h"
#include "include/vtnative.h"
#include "platform/system/ZedDesktopProxySettings.h"
#include "platform/system/ZedKnownNetworkProfiles.h"
#include "platform/system/ZedMountTable.h"
#include "platform/system/ZedPlatformSources.h"
#include "platform/system/ZedWirelessIoctl.h"
#include "tests/LogCapture.h"

namespace fs = std::filesystem;

namespace {

// A folder that stands in for "/" of a machine, built file by file.
class FixtureTree {
  public:
    FixtureTree() {
        char pattern[] = "/tmp/vtnative-root-XXXXXX";
        root_ = mkdtemp(pattern);
        sources.root = root_;
        sources.configHome = root_ / "home/.config";
        sources.gsettingsProgram = (root_ / "no-gsettings").string();
    }
    ~FixtureTree() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    void write(const std::string& absolute, const std::string& text) const {
        const fs::path path = root_ / fs::path(absolute).relative_path();
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    void link(const std::string& absolute, const std::string& target) const {
        const fs::path path = root_ / fs::path(absolute).relative_path();
        fs::create_directories(path.parent_path());
        fs::create_symlink(target, path);
    }
    void folder(const std::string& absolute) const {
        fs::create_directories(root_ / fs::path(absolute).relative_path());
    }
    void mounts(const std::vector<std::string>& mountPointsAndSources) const {
        std::string text;
        int id = 20;
        for (std::size_t i = 0; i + 1 < mountPointsAndSources.size(); i += 2) {
            text += std::to_string(id++) + " 1 8:1 / " + mountPointsAndSources[i] +
                    " rw,relatime shared:1 - ext4 " + mountPointsAndSources[i + 1] + " rw\n";
        }
        write("/proc/self/mountinfo", text);
    }
    void executable(const std::string& absolute, const std::string& script) const {
        write(absolute, script);
        fs::permissions(root_ / fs::path(absolute).relative_path(), fs::perms::owner_all);
    }

    ZedPlatformSources sources;

  private:
    fs::path root_;
};

struct Volumes {
    int count = 0;
    std::vector<std::string> paths;
    std::vector<std::string> names;
};

Volumes fetch(const ZedPlatformSources& sources) {
    char** paths = nullptr;
    char** names = nullptr;
    Volumes volumes;
    volumes.count = ZedVolumeEnumerator::fetchVolumes(&paths, &names, sources);
    for (int i = 0; i < volumes.count; ++i) {
        volumes.paths.emplace_back(paths[i]);
        volumes.names.emplace_back(names[i]);
    }
    if (volumes.count > 0) {
        EXPECT_EQ(paths[volumes.count], nullptr);
        EXPECT_EQ(names[volumes.count], nullptr);
    }
    zed_free_cstring_array(paths, volumes.count);
    zed_free_cstring_array(names, volumes.count);
    return volumes;
}

std::vector<std::string> strings(char** array) {
    std::vector<std::string> result;
    for (; array && *array; ++array) {
        result.emplace_back(*array);
    }
    return result;
}

TEST(VolumesTest, OnlyTheStartUpDisk) {
    FixtureTree tree;
    tree.mounts({"/", "/dev/sda1", "/proc", "proc", "/sys", "sysfs"});
    const Volumes volumes = fetch(tree.sources);
    EXPECT_EQ(volumes.count, 1);
    EXPECT_EQ(volumes.paths, (std::vector<std::string>{"/"}));
    EXPECT_EQ(volumes.names, (std::vector<std::string>{"/"}));
}

TEST(VolumesTest, RemovableMediaWithLabelsAndOthersLeftOut) {
    FixtureTree tree;
    tree.write("/dev/sdb1", "");
    tree.write("/dev/sda1", "");
    tree.link("/dev/disk/by-label/BACKUP\\x20DISK", "../../sdb1");
    tree.link("/dev/disk/by-label/system", "../../sda1");
    tree.mounts({"/", "/dev/sda1", "/mnt/data", "/dev/sdc1", "/media/me/BACKUP\\040DISK",
                 "/dev/sdb1", "/run/media/me/CARD", "/dev/sdd1", "/media", "/dev/sde1", "/home",
                 "/dev/sda2"});
    const Volumes volumes = fetch(tree.sources);
    EXPECT_EQ(volumes.count, 3);
    EXPECT_EQ(volumes.paths,
              (std::vector<std::string>{"/", "/media/me/BACKUP DISK", "/run/media/me/CARD"}));
    EXPECT_EQ(volumes.names, (std::vector<std::string>{"system", "BACKUP DISK", "CARD"}));
}

TEST(VolumesTest, FailuresAndEmptyTables) {
    LogCapture::shared().clear();
    FixtureTree tree;
    char** paths = nullptr;
    char** names = nullptr;
    EXPECT_EQ(ZedVolumeEnumerator::fetchVolumes(nullptr, &names, tree.sources), -1);
    EXPECT_EQ(ZedVolumeEnumerator::fetchVolumes(&paths, nullptr, tree.sources), -1);
    EXPECT_TRUE(LogCapture::shared().contains("volume_paths is null"));
    EXPECT_TRUE(LogCapture::shared().contains("volume_names is null"));

    EXPECT_EQ(fetch(tree.sources).count, -1);  // no mount table at all

    tree.write("/proc/self/mountinfo", "");
    EXPECT_EQ(fetch(tree.sources).count, 0);
    EXPECT_TRUE(LogCapture::shared().contains("No mounted volumes found."));

    tree.mounts({"/mnt/only", "/dev/sdx1"});
    EXPECT_EQ(fetch(tree.sources).count, -1);
    EXPECT_TRUE(LogCapture::shared().contains(
        "Unable to fetch required information for mounted volumes at URLS: (/mnt/only)"));
}

TEST(MountTableTest, LinesWithOptionalFieldsAndDamagedLines) {
    const auto mount = ZedMountTable::parseLine(
        "36 35 98:0 /mnt1 /mnt\\0402 rw,noatime master:1 shared:2 - ext3 /dev/root rw");
    ASSERT_TRUE(mount);
    EXPECT_EQ(mount->mountPoint, "/mnt 2");
    EXPECT_EQ(mount->fileSystemType, "ext3");
    EXPECT_EQ(mount->source, "/dev/root");
    EXPECT_FALSE(ZedMountTable::parseLine("36 35 98:0 /mnt1 /mnt2 rw"));
    EXPECT_FALSE(ZedMountTable::parseLine("36 35 98:0 / / rw - ext4"));
    EXPECT_FALSE(ZedMountTable::parseLine(""));
    EXPECT_EQ(ZedMountTable::unescape("a\\134b\\04"), "a\\b\\04");
}

TEST(ProfileValuesTest, NetworkManagerAndWpaSupplicantSpellings) {
    using namespace ZedKnownNetworkProfiles;
    EXPECT_EQ(networkManagerValue("Caf\\sNet"), "Caf Net");
    EXPECT_EQ(networkManagerValue("72;105;"), "Hi");
    EXPECT_EQ(networkManagerValue("72;105"), "72;105");
    EXPECT_EQ(wpaSupplicantValue("\"quoted\""), "quoted");
    EXPECT_EQ(wpaSupplicantValue("4869"), "Hi");
    EXPECT_EQ(wpaSupplicantValue("48G9"), "");
    EXPECT_EQ(wpaSupplicantValue("486"), "");
    EXPECT_EQ(ZedDesktopProxySettings::gvariantString("'http://a/b\\'c'"), "http://a/b'c");
    EXPECT_EQ(ZedDesktopProxySettings::gvariantString("auto"), std::nullopt);
}

TEST(VolumesTest, ThisMachineListsTheRoot) {
    const Volumes volumes = fetch(ZedPlatformSources::system());
    ASSERT_GE(volumes.count, 1);
    EXPECT_NE(std::find(volumes.paths.begin(), volumes.paths.end(), "/"), volumes.paths.end());
}

class BatteryTest : public ::testing::Test {
  protected:
    void battery(const std::string& name,
                 const std::vector<std::pair<std::string, std::string>>& files) {
        tree.write("/sys/class/power_supply/" + name + "/type", "Battery\n");
        for (const auto& [file, value] : files) {
            tree.write("/sys/class/power_supply/" + name + "/" + file, value + "\n");
        }
    }
    void mains(bool online) {
        tree.write("/sys/class/power_supply/AC/type", "Mains\n");
        tree.write("/sys/class/power_supply/AC/online", online ? "1\n" : "0\n");
    }
    int charge() { return ZedPowerSource::batteryCharge(tree.sources); }

    FixtureTree tree;
};

TEST_F(BatteryTest, ChargeFromLevelsOrCapacity) {
    battery("BAT0", {{"energy_now", "50"}, {"energy_full", "200"}});
    EXPECT_EQ(charge(), 25);
    battery("BAT0", {{"energy_now", "50"}, {"energy_full", "0"}});
    EXPECT_EQ(charge(), 100);
    battery("BAT0", {{"energy_now", "300"}, {"energy_full", "200"}});
    EXPECT_EQ(charge(), 100);
    battery("BAT0", {{"energy_now", "-1"}, {"energy_full", "200"}});
    EXPECT_EQ(charge(), 100);
    battery("BAT0", {{"energy_now", "199"}, {"energy_full", "200"}});
    EXPECT_EQ(charge(), 99);  // truncated, not rounded
    // sysfs writes whole numbers; "inf" and "nan", which strtod reads, say nothing of the level.
    battery("BAT0", {{"energy_now", "inf"}, {"energy_full", "inf"}});
    EXPECT_EQ(charge(), 100);
    battery("BAT0", {{"energy_now", "50"}, {"energy_full", "1e999"}});
    EXPECT_EQ(charge(), 100);
    battery("BAT0", {{"energy_now", "nan"}, {"energy_full", "200"}, {"capacity", "inf"}});
    EXPECT_EQ(charge(), 100);
}

TEST_F(BatteryTest, ChargePairsAndCapacityFile) {
    battery("BAT1", {{"charge_now", "1000"}, {"charge_full", "4000"}, {"capacity", "80"}});
    EXPECT_EQ(charge(), 25);
    battery("BAT1", {{"charge_full", "garbage"}});
    EXPECT_EQ(charge(), 80);
}

TEST_F(BatteryTest, NoBatteryMeansFullAndNotOnBattery) {
    mains(false);
    EXPECT_EQ(charge(), 100);
    EXPECT_FALSE(ZedPowerSource::isRunningOnBattery(tree.sources));
}

TEST_F(BatteryTest, OnBatteryWhenNoChargerIsOnline) {
    battery("BAT0", {{"capacity", "40"}});
    battery("hid-mouse-battery", {{"scope", "Device"}, {"capacity", "5"}});
    mains(false);
    EXPECT_TRUE(ZedPowerSource::isRunningOnBattery(tree.sources));
    EXPECT_EQ(charge(), 40);  // a mouse's battery is not the machine's
    mains(true);
    EXPECT_FALSE(ZedPowerSource::isRunningOnBattery(tree.sources));
}

class WiFiTest : public ::testing::Test {
  protected:
    WiFiTest() {
        tree.write("/sys/class/net/eth0/address", "aa:aa:aa:aa:aa:aa\n");
        tree.write("/sys/class/net/wlp2s0/address", "00:11:22:33:44:55\n");
        tree.folder("/sys/class/net/wlp2s0/wireless");
        tree.sources.currentSSID = [this](const std::string& interface) {
            askedInterface = interface;
            return current;
        };
        tree.sources.scannedSSIDs = [this](const std::string&) { return scanned; };
    }

    FixtureTree tree;
    std::optional<std::string> current;
    std::vector<std::string> scanned;
    std::string askedInterface;
};

TEST_F(WiFiTest, CurrentNetworkNameIsCutTo32Bytes) {
    current = std::string(40, 'n');
    ZedWiFiInfo info(tree.sources);
    char** result = info.currentSSIDAndMAC();
    EXPECT_EQ(askedInterface, "wlp2s0");
    ASSERT_NE(result[0], nullptr);
    EXPECT_EQ(std::string(result[0]), std::string(32, 'n'));
    EXPECT_STREQ(result[1], "00:11:22:33:44:55");
    EXPECT_EQ(result[2], nullptr);
}

TEST_F(WiFiTest, NotOnANetworkOrNoWirelessInterface) {
    ZedWiFiInfo info(tree.sources);
    EXPECT_EQ(info.currentSSIDAndMAC()[0], nullptr);
    fs::remove_all(tree.sources.root / "sys/class/net/wlp2s0");
    current = "Home";
    EXPECT_EQ(info.currentSSIDAndMAC()[0], nullptr);
    EXPECT_TRUE(strings(info.networkSSIDs()).empty());
}

TEST_F(WiFiTest, KnownNetworksFromScanAndProfilesSortedAndLimited) {
    for (int i = 0; i < 101; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "net%03d", i);
        scanned.push_back(name);
    }
    scanned.push_back("");
    tree.write("/etc/NetworkManager/system-connections/Office.nmconnection",
               "[connection]\nid=Office\n[wifi]\nmode=infrastructure\nssid=Aardvark\\sOffice\n");
    tree.write("/etc/NetworkManager/system-connections/old",
               "[802-11-wireless]\nssid=66;121;116;101;115;\n");
    tree.write(
        "/etc/wpa_supplicant/wpa_supplicant.conf",
        "network={\n  ssid=\"alpha cafe\"\n  psk=\"x\"\n}\nnetwork={\n ssid=4265747461\n}\n");
    ZedWiFiInfo info(tree.sources);
    EXPECT_EQ(info.preferredNetworksOSX107(), (std::set<std::string>{"Aardvark Office", "Bytes"}));
    EXPECT_EQ(info.preferredNetworksOSX106(), (std::set<std::string>{"alpha cafe", "Betta"}));

    const auto names = strings(info.networkSSIDs());
    ASSERT_EQ(names.size(), 100u);
    EXPECT_EQ(names[0], "Aardvark Office");
    EXPECT_EQ(names[1], "alpha cafe");
    EXPECT_EQ(names[2], "Betta");
    EXPECT_EQ(names[3], "Bytes");
    EXPECT_EQ(names[4], "net000");
    EXPECT_EQ(names[99], "net095");
}

TEST_F(WiFiTest, LongKnownNetworkNamesAreCut) {
    scanned = {std::string(40, 'z')};
    ZedWiFiInfo info(tree.sources);
    EXPECT_EQ(strings(info.networkSSIDs()), (std::vector<std::string>{std::string(32, 'z')}));
}

TEST(WirelessIoctlTest, ScanResultStreamIsParsedAndDamageStopsIt) {
    std::vector<std::uint8_t> stream;
    auto event = [&stream](std::uint16_t command, const std::string& payload, bool pointer) {
        const std::uint16_t length =
            static_cast<std::uint16_t>(4 + (pointer ? 4 : 0) + payload.size());
        const std::size_t start = stream.size();
        stream.resize(start + length);
        std::memcpy(&stream[start], &length, 2);
        std::memcpy(&stream[start + 2], &command, 2);
        std::size_t data = start + 4;
        if (pointer) {
            const auto size = static_cast<std::uint16_t>(payload.size());
            std::memcpy(&stream[data], &size, 2);
            data += 4;
        }
        std::memcpy(&stream[data], payload.data(), payload.size());
    };
    event(SIOCGIWAP, std::string(16, '\0'), false);
    event(SIOCGIWESSID, "Home", true);
    event(SIOCGIWESSID, "", true);
    event(SIOCGIWESSID, "Cafe", true);
    EXPECT_EQ(ZedWirelessIoctl::parseScanResults(stream),
              (std::vector<std::string>{"Home", "Cafe"}));
    stream.resize(stream.size() - 2);  // the last event now claims bytes that are not there
    EXPECT_EQ(ZedWirelessIoctl::parseScanResults(stream), (std::vector<std::string>{"Home"}));
}

TEST(ProxyTest, GnomeAutoModeThenKdeScript) {
    FixtureTree tree;
    ZedProxyInfo info(tree.sources);
    char** result = info.getProxyAutoconfigURLs();
    EXPECT_EQ(result[0], nullptr);
    EXPECT_EQ(result[1], nullptr);

    tree.write("/home/.config/kioslaverc",
               "[Proxy Settings]\nProxyType=2\nProxy Config Script=http://kde/proxy.pac\n");
    EXPECT_EQ(strings(info.getProxyAutoconfigURLs()),
              (std::vector<std::string>{"http://kde/proxy.pac"}));

    tree.executable("/bin/gsettings",
                    "#!/bin/sh\n"
                    "case \"$3\" in\n"
                    "  mode) echo \"'auto'\" ;;\n"
                    "  autoconfig-url) echo \"'http://gnome/wpad.dat'\" ;;\n"
                    "esac\n");
    tree.sources.gsettingsProgram = (tree.sources.root / "bin/gsettings").string();
    EXPECT_EQ(strings(info.getProxyAutoconfigURLs()),
              (std::vector<std::string>{"http://gnome/wpad.dat"}));

    tree.write("/home/.config/kioslaverc", "[Proxy Settings]\nProxyType=1\n");
    tree.executable("/bin/gsettings", "#!/bin/sh\necho \"'none'\"\n");
    EXPECT_EQ(info.getProxyAutoconfigURLs()[0], nullptr);
}

TEST(OSVersionTest, Comparisons) {
    EXPECT_TRUE(OSVersionDetector::isOSVersion("10.10.1", "10.9.5"));
    EXPECT_FALSE(OSVersionDetector::isOSVersion("10.9.5", "10.10.1"));
    EXPECT_TRUE(OSVersionDetector::isOSVersion("10.7", "10.7.0"));
    EXPECT_TRUE(OSVersionDetector::isOSVersion("10.7.0", "10.7"));
    EXPECT_TRUE(OSVersionDetector::isOSVersion("6", "5.19.9"));
    EXPECT_FALSE(OSVersionDetector::isOSVersion(nullptr, "1.0"));
    EXPECT_FALSE(OSVersionDetector::isOSVersion("1.0", nullptr));
}

TEST(OSVersionTest, KernelRelease) {
    int major = -1;
    int minor = -1;
    int bugFix = -1;
    EXPECT_TRUE(OSVersionDetector::parseRelease("6.1.0-28-amd64", major, minor, bugFix));
    EXPECT_EQ(major * 10000 + minor * 100 + bugFix, 60100);
    EXPECT_TRUE(OSVersionDetector::parseRelease("5.15", major, minor, bugFix));
    EXPECT_EQ(major * 10000 + minor * 100 + bugFix, 51500);
    EXPECT_FALSE(OSVersionDetector::parseRelease("rc1", major, minor, bugFix));

    const std::string version = OSVersionDetector::getSystemVersion();
    EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;
    EXPECT_TRUE(OSVersionDetector::isSystemVersionGreaterThanOrEqualTo("2.6.0"));
    OSVersionDetector::getSystemVersionMajor(nullptr, &minor, nullptr);
}

}  // namespace

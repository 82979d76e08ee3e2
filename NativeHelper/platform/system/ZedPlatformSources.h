#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where the system-information functions read the machine from. The library uses system();
// tests build their own over a fixture tree and stand-ins for what only the kernel can answer.
struct ZedPlatformSources {
    // Folder that stands for "/" when reading /proc, /sys, /dev and /etc.
    std::filesystem::path root = "/";
    // The user's configuration folder, where KDE keeps kioslaverc.
    std::filesystem::path configHome;
    // GNOME's settings tool: GSettings without loading GLib (and its threads) into the process.
    std::string gsettingsProgram = "gsettings";
    // Name of the network the wireless interface is on, if any.
    std::function<std::optional<std::string>(const std::string& interface)> currentSSID;
    // Names of the networks the wireless interface last saw.
    std::function<std::vector<std::string>(const std::string& interface)> scannedSSIDs;

    // `absolute` (such as "/proc/self/mountinfo") under the root.
    std::filesystem::path resolve(const std::filesystem::path& absolute) const;

    static const ZedPlatformSources& system();
};

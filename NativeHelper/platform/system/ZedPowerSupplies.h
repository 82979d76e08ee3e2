#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system/ZedPlatformSources.h"

// The machine's power supplies from /sys/class/power_supply, sorted by name.
class ZedPowerSupplies {
  public:
    struct Supply {
        std::string name;
        std::string type;   // "Battery", "Mains", "USB", ...
        std::string scope;  // "Device" for the batteries of mice and keyboards
        bool online = false;
        std::optional<double> capacityPercent;
        std::optional<double> now;   // energy_now, else charge_now
        std::optional<double> full;  // energy_full, else charge_full
    };

    static std::vector<Supply> read(const ZedPlatformSources& sources);
    // The first battery that powers the machine itself.
    static std::optional<Supply> firstBattery(const std::vector<Supply>& supplies);
    // Whether a charger (any supply that is not a battery) is online.
    static bool chargerOnline(const std::vector<Supply>& supplies);
};

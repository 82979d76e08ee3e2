#include "platform/system/ZedPowerSupplies.h"

#include <cmath>
#include <cstdlib>

#include "platform/system/ZedTextFiles.h"

namespace {

std::optional<double> number(const std::filesystem::path& path) {
    const auto text = ZedTextFiles::readAttribute(path);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text->c_str(), &end);
    // sysfs writes whole numbers. strtod also reads "inf" and "nan", which are no level: their
    // ratio is no percentage, and turning it into one is undefined.
    return *end == '\0' && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// The energy pair when both are there, else the charge pair: never one of each.
void readLevel(const std::filesystem::path& folder, ZedPowerSupplies::Supply& supply) {
    for (const char* kind : {"energy", "charge"}) {
        auto now = number(folder / (std::string(kind) + "_now"));
        auto full = number(folder / (std::string(kind) + "_full"));
        if (now && full) {
            supply.now = now;
            supply.full = full;
            return;
        }
    }
}

}  // namespace

std::vector<ZedPowerSupplies::Supply> ZedPowerSupplies::read(const ZedPlatformSources& sources) {
    std::vector<Supply> supplies;
    for (const auto& folder :
         ZedTextFiles::sortedEntries(sources.resolve("/sys/class/power_supply"))) {
        Supply supply;
        supply.name = folder.filename().string();
        supply.type = ZedTextFiles::readAttribute(folder / "type").value_or("");
        supply.scope = ZedTextFiles::readAttribute(folder / "scope").value_or("");
        supply.online = ZedTextFiles::readAttribute(folder / "online").value_or("0") == "1";
        supply.capacityPercent = number(folder / "capacity");
        readLevel(folder, supply);
        supplies.push_back(std::move(supply));
    }
    return supplies;
}

std::optional<ZedPowerSupplies::Supply> ZedPowerSupplies::firstBattery(
    const std::vector<Supply>& supplies) {
    for (const auto& supply : supplies) {
        if (supply.type == "Battery" && supply.scope != "Device") {
            return supply;
        }
    }
    return std::nullopt;
}

bool ZedPowerSupplies::chargerOnline(const std::vector<Supply>& supplies) {
    for (const auto& supply : supplies) {
        if (supply.type != "Battery" && supply.online) {
            return true;
        }
    }
    return false;
}

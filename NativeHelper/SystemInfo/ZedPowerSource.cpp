#include "SystemInfo/ZedPowerSource.h"

#include "platform/system/ZedPowerSupplies.h"

namespace ZedPowerSource {

namespace {
constexpr int kUnknownCharge = 100;

int percentOf(double current, double capacity) {
    if (!(capacity > 0) || !(current >= 0)) {
        return kUnknownCharge;
    }
    const double percent = current / capacity * 100.0;
    return percent > 100.0 ? 100 : static_cast<int>(percent);
}
}  // namespace

bool isRunningOnBattery(const ZedPlatformSources& sources) {
    const auto supplies = ZedPowerSupplies::read(sources);
    return ZedPowerSupplies::firstBattery(supplies) && !ZedPowerSupplies::chargerOnline(supplies);
}

int batteryCharge(const ZedPlatformSources& sources) {
    const auto battery = ZedPowerSupplies::firstBattery(ZedPowerSupplies::read(sources));
    if (!battery) {
        return kUnknownCharge;
    }
    if (battery->now && battery->full) {
        return percentOf(*battery->now, *battery->full);
    }
    if (battery->capacityPercent) {
        return percentOf(*battery->capacityPercent, 100.0);
    }
    return kUnknownCharge;
}

}  // namespace ZedPowerSource

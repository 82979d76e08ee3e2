#pragma once

#include "platform/system/ZedPlatformSources.h"

// Battery facts of the first battery that powers the machine.
namespace ZedPowerSource {
// Whether no charger is online while a battery is present; false without a battery.
bool isRunningOnBattery(const ZedPlatformSources& sources);
// The charge in percent, 0 to 100; 100 when unknown.
int batteryCharge(const ZedPlatformSources& sources);
}  // namespace ZedPowerSource

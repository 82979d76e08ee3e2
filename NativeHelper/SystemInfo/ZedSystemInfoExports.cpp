// The system-information family as C functions, answering from this machine.
#include <exception>

#include "Logging/ZedLogging/ZedLog.h"
#include "SystemInfo/ZedPowerSource.h"
#include "SystemInfo/ZedProxyInfo.h"
#include "SystemInfo/ZedWiFiInfo.h"
#include "VolumeEnumeration/ZedVolumeEnumerator.h"
#include "include/vtnative.h"
#include "platform/system/ZedPlatformSources.h"

namespace {

constexpr int kLogMask = ZedLogMaskInfo;

template <typename Body, typename Result>
Result guarded(const char* function, Body body, Result failed) noexcept {
    try {
        return body();
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "%s: %s", function, exception.what());
    } catch (...) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "%s failed", function);
    }
    return failed;
}

ZedWiFiInfo& wifiInfo() {
    static ZedWiFiInfo info(ZedPlatformSources::system());
    return info;
}

ZedProxyInfo& proxyInfo() {
    static ZedProxyInfo info(ZedPlatformSources::system());
    return info;
}

}  // namespace

extern "C" {

int32_t zed_fetch_volumes(char*** volumePaths, char*** volumeNames) {
    return guarded(
        __func__,
        [&] {
            return ZedVolumeEnumerator::fetchVolumes(volumePaths, volumeNames,
                                                     ZedPlatformSources::system());
        },
        -1);
}

int32_t isRunningOnBattery(void) {
    return guarded(
        __func__,
        [] { return ZedPowerSource::isRunningOnBattery(ZedPlatformSources::system()) ? 1 : 0; }, 0);
}

int32_t batteryCharge(void) {
    return guarded(
        __func__, [] { return ZedPowerSource::batteryCharge(ZedPlatformSources::system()); }, 100);
}

char** currentSSIDAndMAC(void) {
    static char* empty[1] = {nullptr};
    return guarded(
        __func__, [] { return wifiInfo().currentSSIDAndMAC(); }, empty);
}

char** networkSSIDs(void) {
    static char* empty[1] = {nullptr};
    return guarded(
        __func__, [] { return wifiInfo().networkSSIDs(); }, empty);
}

char** getProxyAutoconfigURLs(void) {
    static char* empty[2] = {nullptr, nullptr};
    return guarded(
        __func__, [] { return proxyInfo().getProxyAutoconfigURLs(); }, empty);
}

}  // extern "C"

#include "SystemInfo/ZedProxyInfo.h"

#include "Logging/ZedLogging/ZedLog.h"
#include "platform/system/ZedDesktopProxySettings.h"

namespace {
constexpr int kLogMask = ZedLogMaskInfo;
}  // namespace

char** ZedProxyInfo::getProxyAutoconfigURLs() {
    _result[0] = _result[1] = nullptr;
    try {
        auto url = ZedDesktopProxySettings::gnomeAutoconfigURL(_sources);
        if (!url) {
            url = ZedDesktopProxySettings::kdeAutoconfigURL(_sources);
        }
        if (url) {
            _url = std::move(*url);
            _result[0] = _url.data();
        }
    } catch (const std::exception& exception) {
        ZedLogError(kLogMask, ZedLogContextPlatform, "Unable to read the proxy settings: %s",
                    exception.what());
        _result[0] = nullptr;
    }
    return _result;
}

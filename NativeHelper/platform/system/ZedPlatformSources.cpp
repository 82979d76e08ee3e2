#include "platform/system/ZedPlatformSources.h"

#include <cstdlib>

#include "platform/system/ZedWirelessIoctl.h"

namespace {

std::filesystem::path userConfigHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config) {
        return config;
    }
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) / ".config" : std::filesystem::path();
}

}  // namespace

std::filesystem::path ZedPlatformSources::resolve(const std::filesystem::path& absolute) const {
    return root / absolute.relative_path();
}

const ZedPlatformSources& ZedPlatformSources::system() {
    static const ZedPlatformSources sources{"/", userConfigHome(), "gsettings",
                                            ZedWirelessIoctl::currentSSID,
                                            ZedWirelessIoctl::scannedSSIDs};
    return sources;
}

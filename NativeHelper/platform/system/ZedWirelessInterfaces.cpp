#include "platform/system/ZedWirelessInterfaces.h"

#include "platform/system/ZedTextFiles.h"

namespace ZedWirelessInterfaces {

std::optional<Interface> first(const ZedPlatformSources& sources) {
    for (const auto& folder : ZedTextFiles::sortedEntries(sources.resolve("/sys/class/net"))) {
        std::error_code error;
        if (!std::filesystem::exists(folder / "wireless", error) &&
            !std::filesystem::exists(folder / "phy80211", error)) {
            continue;
        }
        return Interface{folder.filename().string(),
                         ZedTextFiles::readAttribute(folder / "address").value_or("")};
    }
    return std::nullopt;
}

}  // namespace ZedWirelessInterfaces

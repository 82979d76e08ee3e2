#pragma once

#include <optional>
#include <string>

#include "platform/system/ZedPlatformSources.h"

// The proxy auto-configuration address the desktop's settings ask for.
namespace ZedDesktopProxySettings {

// GNOME: org.gnome.system.proxy "autoconfig-url" when "mode" is "auto".
std::optional<std::string> gnomeAutoconfigURL(const ZedPlatformSources& sources);
// KDE: "Proxy Config Script" of kioslaverc's [Proxy Settings] when ProxyType is 2 (script).
std::optional<std::string> kdeAutoconfigURL(const ZedPlatformSources& sources);

// The text of a GVariant string as gsettings prints it ('text' with backslash escapes).
std::optional<std::string> gvariantString(const std::string& printed);

}  // namespace ZedDesktopProxySettings

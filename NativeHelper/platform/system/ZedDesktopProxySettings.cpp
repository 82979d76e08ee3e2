#include "platform/system/ZedDesktopProxySettings.h"

#include "platform/system/ZedChildProcess.h"
#include "platform/system/ZedTextFiles.h"

namespace ZedDesktopProxySettings {

namespace {

constexpr std::chrono::seconds kGsettingsTimeout{5};
constexpr const char* kSchema = "org.gnome.system.proxy";

std::optional<std::string> gsetting(const ZedPlatformSources& sources, const char* key) {
    const auto printed =
        ZedChildProcess::output(sources.gsettingsProgram, {"get", kSchema, key}, kGsettingsTimeout);
    return printed ? gvariantString(ZedTextFiles::trimmed(*printed)) : std::nullopt;
}

}  // namespace

std::optional<std::string> gnomeAutoconfigURL(const ZedPlatformSources& sources) {
    if (gsetting(sources, "mode") != "auto") {
        return std::nullopt;
    }
    auto url = gsetting(sources, "autoconfig-url");
    return url && !url->empty() ? url : std::nullopt;
}

std::optional<std::string> kdeAutoconfigURL(const ZedPlatformSources& sources) {
    if (sources.configHome.empty()) {
        return std::nullopt;
    }
    const auto text = ZedTextFiles::read(sources.configHome / "kioslaverc");
    if (!text) {
        return std::nullopt;
    }
    bool inProxySection = false;
    std::optional<std::string> type;
    std::optional<std::string> script;
    for (const auto& rawLine : ZedTextFiles::lines(*text)) {
        const std::string line = ZedTextFiles::trimmed(rawLine);
        if (!line.empty() && line.front() == '[') {
            inProxySection = line == "[Proxy Settings]";
            continue;
        }
        const auto equals = line.find('=');
        if (!inProxySection || equals == std::string::npos) {
            continue;
        }
        const std::string key = ZedTextFiles::trimmed(line.substr(0, equals));
        const std::string value = ZedTextFiles::trimmed(line.substr(equals + 1));
        if (key == "ProxyType") {
            type = value;
        } else if (key == "Proxy Config Script") {
            script = value;
        }
    }
    return type == "2" && script && !script->empty() ? script : std::nullopt;
}

std::optional<std::string> gvariantString(const std::string& printed) {
    if (printed.size() < 2 || printed.front() != printed.back() ||
        (printed.front() != '\'' && printed.front() != '"')) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 1; i + 1 < printed.size(); ++i) {
        if (printed[i] == '\\' && i + 2 < printed.size()) {
            ++i;
        }
        text += printed[i];
    }
    return text;
}

}  // namespace ZedDesktopProxySettings

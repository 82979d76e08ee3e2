#include "platform/system/ZedKnownNetworkProfiles.h"

#include <cctype>

#include "platform/system/ZedTextFiles.h"

namespace {

// "77;105;70;105;": decimal bytes, each ended by a semicolon.
bool isByteList(const std::string& value) {
    if (value.empty() || value.back() != ';') {
        return false;
    }
    std::size_t digits = 0;
    for (const char c : value) {
        if (c == ';') {
            if (digits == 0) {
                return false;
            }
            digits = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && digits < 3) {
            ++digits;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace ZedKnownNetworkProfiles {

std::set<std::string> networkManagerSSIDs(const ZedPlatformSources& sources) {
    std::set<std::string> names;
    for (const char* folder :
         {"/etc/NetworkManager/system-connections", "/run/NetworkManager/system-connections"}) {
        for (const auto& file : ZedTextFiles::sortedEntries(sources.resolve(folder))) {
            const auto text = ZedTextFiles::read(file);
            if (!text) {
                continue;
            }
            bool inWifi = false;
            for (const auto& rawLine : ZedTextFiles::lines(*text)) {
                const std::string line = ZedTextFiles::trimmed(rawLine);
                if (!line.empty() && line.front() == '[') {
                    inWifi = line == "[wifi]" || line == "[802-11-wireless]";
                } else if (inWifi && line.rfind("ssid=", 0) == 0) {
                    const std::string name = networkManagerValue(line.substr(5));
                    if (!name.empty()) {
                        names.insert(name);
                    }
                }
            }
        }
    }
    return names;
}

std::set<std::string> wpaSupplicantSSIDs(const ZedPlatformSources& sources) {
    std::set<std::string> names;
    for (const auto& file : ZedTextFiles::sortedEntries(sources.resolve("/etc/wpa_supplicant"))) {
        if (file.extension() != ".conf") {
            continue;
        }
        const auto text = ZedTextFiles::read(file);
        if (!text) {
            continue;
        }
        for (const auto& rawLine : ZedTextFiles::lines(*text)) {
            const std::string line = ZedTextFiles::trimmed(rawLine);
            if (line.rfind("ssid=", 0) == 0) {
                const std::string name = wpaSupplicantValue(line.substr(5));
                if (!name.empty()) {
                    names.insert(name);
                }
            }
        }
    }
    return names;
}

std::string networkManagerValue(const std::string& value) {
    std::string text;
    if (isByteList(value)) {
        std::size_t start = 0;
        while (start < value.size()) {
            const std::size_t end = value.find(';', start);
            const std::string digits = value.substr(start, end - start);
            if (!digits.empty()) {
                text += static_cast<char>(std::stoi(digits) & 0xFF);
            }
            start = end == std::string::npos ? value.size() : end + 1;
        }
        return text;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
            switch (value[i]) {
                case 's':
                    text += ' ';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 'n':
                    text += '\n';
                    break;
                default:
                    text += value[i];
            }
        } else {
            text += value[i];
        }
    }
    return text;
}

std::string wpaSupplicantValue(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    if (value.size() % 2 != 0) {
        return "";
    }
    std::string text;
    for (std::size_t i = 0; i < value.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(value[i])) ||
            !std::isxdigit(static_cast<unsigned char>(value[i + 1]))) {
            return "";
        }
        text += static_cast<char>(std::stoi(value.substr(i, 2), nullptr, 16));
    }
    return text;
}

}  // namespace ZedKnownNetworkProfiles

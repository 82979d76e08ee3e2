#include "platform/system/ZedDiskLabels.h"

#include <cctype>

#include "platform/system/ZedTextFiles.h"

namespace fs = std::filesystem;

namespace ZedDiskLabels {

std::optional<std::string> labelFor(const ZedPlatformSources& sources, const std::string& device) {
    if (device.empty() || device[0] != '/') {
        return std::nullopt;  // overlay, tmpfs and the like have no device node
    }
    std::error_code error;
    const fs::path wanted = fs::weakly_canonical(sources.resolve(device), error);
    if (error) {
        return std::nullopt;
    }
    for (const auto& link : ZedTextFiles::sortedEntries(sources.resolve("/dev/disk/by-label"))) {
        const fs::path target = fs::read_symlink(link, error);
        if (error) {
            continue;
        }
        const fs::path node = fs::weakly_canonical(link.parent_path() / target, error);
        if (!error && node == wanted) {
            return unescape(link.filename().string());
        }
    }
    return std::nullopt;
}

std::string unescape(const std::string& name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool escaped = name.compare(i, 2, "\\x") == 0 && i + 3 < name.size() &&
                             std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
                             std::isxdigit(static_cast<unsigned char>(name[i + 3]));
        if (escaped) {
            text += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

}  // namespace ZedDiskLabels

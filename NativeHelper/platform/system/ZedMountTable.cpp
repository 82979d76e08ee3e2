#include "platform/system/ZedMountTable.h"

#include "platform/system/ZedTextFiles.h"

std::optional<std::vector<ZedMountTable::Mount>> ZedMountTable::read(
    const ZedPlatformSources& sources) {
    const auto text = ZedTextFiles::read(sources.resolve("/proc/self/mountinfo"));
    if (!text) {
        return std::nullopt;
    }
    return parse(*text);
}

std::vector<ZedMountTable::Mount> ZedMountTable::parse(const std::string& text) {
    std::vector<Mount> mounts;
    for (const auto& line : ZedTextFiles::lines(text)) {
        if (auto mount = parseLine(line)) {
            mounts.push_back(std::move(*mount));
        }
    }
    return mounts;
}

// "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue": the mount
// point is the fifth field; type and source follow the lone "-".
std::optional<ZedMountTable::Mount> ZedMountTable::parseLine(const std::string& line) {
    // Split by hand: string streams would page in much of the C++ library's locale machinery,
    // which a long-running helper library should not carry for this.
    std::vector<std::string> fields;
    for (std::size_t start = line.find_first_not_of(" \t"); start != std::string::npos;) {
        const std::size_t end = line.find_first_of(" \t", start);
        fields.push_back(line.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
    }
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-") {
        ++separator;
    }
    if (fields.size() < 5 || separator + 2 >= fields.size()) {
        return std::nullopt;
    }
    return Mount{unescape(fields[4]), unescape(fields[separator + 2]),
                 unescape(fields[separator + 1])};
}

std::string ZedMountTable::unescape(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal =
            field[i] == '\\' && i + 3 < field.size() &&
            field.substr(i + 1, 3).find_first_not_of("01234567") == std::string::npos;
        if (octal) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

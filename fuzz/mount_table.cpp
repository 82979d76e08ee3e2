// The mount table. The input is a table's text (real /proc/self/mountinfo tables seed it),
// read line by line as the volume list and the file watcher read it; then three fields of it
// are escaped the way the kernel escapes them, put into a line of their own, and must read
// back as they were. The udev label escapes of /dev/disk/by-label are read too.
#include <string>

#include "platform/system/ZedDiskLabels.h"
#include "platform/system/ZedMountTable.h"
#include "platform/system/ZedTextFiles.h"
#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

// What the kernel writes for a path in the table: space, tab, line end and backslash as
// three octal digits.
std::string kernelEscaped(std::string_view field) {
    std::string text;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto byte = static_cast<unsigned char>(c);
            text += '\\';
            text += static_cast<char>('0' + (byte >> 6));
            text += static_cast<char>('0' + ((byte >> 3) & 7));
            text += static_cast<char>('0' + (byte & 7));
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<ZedMountTable::Mount> mounts = ZedMountTable::parse(text);
    size_t readable = 0;
    for (const std::string& line : ZedTextFiles::lines(text)) {
        readable += ZedMountTable::parseLine(line).has_value() ? 1 : 0;
        VT_FUZZ_CHECK(line.find('\n') == std::string::npos);
    }
    VT_FUZZ_CHECK(mounts.size() == readable);
    for (const ZedMountTable::Mount& mount : mounts) {
        VT_FUZZ_CHECK(!mount.mountPoint.empty() && !mount.source.empty() &&
                      !mount.fileSystemType.empty());
    }

    FuzzInput input(data, size);
    const std::string mountPoint(input.takeUntil('\0'));
    const std::string fileSystemType(input.takeUntil('\0'));
    const std::string source(input.takeUntil('\0'));
    if (!mountPoint.empty() && !fileSystemType.empty() && !source.empty()) {
        const std::string line = "36 35 98:0 / " + kernelEscaped(mountPoint) +
                                 " rw,noatime master:1 - " + kernelEscaped(fileSystemType) + " " +
                                 kernelEscaped(source) + " rw";
        const auto mount = ZedMountTable::parseLine(line);
        VT_FUZZ_CHECK(mount && mount->mountPoint == mountPoint && mount->source == source &&
                      mount->fileSystemType == fileSystemType);
    }
    VT_FUZZ_CHECK(ZedDiskLabels::unescape(text).size() <= text.size());
    VT_FUZZ_CHECK(ZedMountTable::unescape(text).size() <= text.size());
    return 0;
}

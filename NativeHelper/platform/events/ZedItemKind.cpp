#include "platform/events/ZedItemKind.h"

#include <sys/stat.h>

#include "platform/events/ZedEventFlags.h"

namespace ZedItemKind {

std::uint32_t of(const std::string& path, bool isDirectory) {
    if (isDirectory) {
        return ZedEventFlags::kItemIsDir;
    }
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0) {
        if (S_ISLNK(status.st_mode)) {
            return ZedEventFlags::kItemIsSymlink;
        }
        if (S_ISDIR(status.st_mode)) {
            return ZedEventFlags::kItemIsDir;
        }
    }
    return ZedEventFlags::kItemIsFile;
}

}  // namespace ZedItemKind

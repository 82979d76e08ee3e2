#include "FileWatching/ZedFileWatcherUtilities.h"

#include <array>
#include <utility>

#include "platform/events/ZedEventFlags.h"

namespace {

using namespace ZedEventFlags;

constexpr std::array<std::pair<std::uint32_t, const char*>, 19> kFlagTexts{{
    {kMustScanSubDirs, "Must scan subbdirs"},
    {kUserDropped, "Userspace dropped event"},
    {kKernelDropped, "Kernel dropped event"},
    {kEventIdsWrapped, "Event IDs wrapped"},
    {kHistoryDone, "History done"},
    {kRootChanged, "Root directory changed"},
    {kMount, "Directory mounted"},
    {kUnmount, "Directory unmounted"},
    {kItemCreated, "Item created"},
    {kItemRemoved, "Item removed"},
    {kItemInodeMetaMod, "Item inode metadata modified"},
    {kItemRenamed, "Item renamed"},
    {kItemModified, "Item modified"},
    {kItemFinderInfoMod, "Item finder info modified"},
    {kItemChangeOwner, "Item owner changed"},
    {kItemXattrMod, "Item xattribs changed"},
    {kItemIsFile, "Item is a file"},
    {kItemIsDir, "Item is a directory"},
    {kItemIsSymlink, "Item is a symlink"},
}};

constexpr std::uint32_t kItemBits = 0xFF00;
constexpr std::uint32_t kCopiedItem =
    kItemCreated | kItemModified | kItemChangeOwner | kItemXattrMod;
constexpr std::uint32_t kKindBits = kItemIsFile | kItemIsDir | kItemIsSymlink;

}  // namespace

namespace ZedFileWatcherUtilities {

std::string descriptionForEventFlags(std::uint32_t flags) {
    std::string text = "Event flags:";
    if (flags == 0) {
        return text + "\nNo flags set";
    }
    for (const auto& [bit, description] : kFlagTexts) {
        if (flags & bit) {
            text += "\n";
            text += description;
        }
    }
    return text;
}

bool flagsIndicateDirectory(std::uint32_t flags) {
    return (flags & kKindBits) == kItemIsDir;
}

bool flagsIndicateCreateEvent(std::uint32_t flags) {
    if ((flags & kCopiedItem) == kCopiedItem) {
        return true;
    }
    const std::uint32_t items = flags & kItemBits;
    return items != 0 && (items & ~(kItemCreated | kItemRenamed)) == 0;
}

}  // namespace ZedFileWatcherUtilities

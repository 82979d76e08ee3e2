#pragma once

#include <cstdint>

// Per-event flag bits of the event journal. They keep the values that the file watcher's
// callers already know from the macOS file-system event service, so flag texts and the
// watcher's rules read the same on both systems.
namespace ZedEventFlags {
constexpr std::uint32_t kMustScanSubDirs = 0x1;
constexpr std::uint32_t kUserDropped = 0x2;
constexpr std::uint32_t kKernelDropped = 0x4;
constexpr std::uint32_t kEventIdsWrapped = 0x8;
constexpr std::uint32_t kHistoryDone = 0x10;
constexpr std::uint32_t kRootChanged = 0x20;
constexpr std::uint32_t kMount = 0x40;
constexpr std::uint32_t kUnmount = 0x80;
constexpr std::uint32_t kItemCreated = 0x100;
constexpr std::uint32_t kItemRemoved = 0x200;
constexpr std::uint32_t kItemInodeMetaMod = 0x400;
constexpr std::uint32_t kItemRenamed = 0x800;
constexpr std::uint32_t kItemModified = 0x1000;
constexpr std::uint32_t kItemFinderInfoMod = 0x2000;
constexpr std::uint32_t kItemChangeOwner = 0x4000;
constexpr std::uint32_t kItemXattrMod = 0x8000;
constexpr std::uint32_t kItemIsFile = 0x10000;
constexpr std::uint32_t kItemIsDir = 0x20000;
constexpr std::uint32_t kItemIsSymlink = 0x40000;
}  // namespace ZedEventFlags

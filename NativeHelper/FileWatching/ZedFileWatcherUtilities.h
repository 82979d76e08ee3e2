#pragma once

#include <cstdint>
#include <string>

// How the file watcher reads an event's flags.
namespace ZedFileWatcherUtilities {

// "Event flags:" and one line per set bit in ascending order, or "No flags set".
std::string descriptionForEventFlags(std::uint32_t flags);

// Only the directory bit among the file, directory and symlink bits.
bool flagsIndicateDirectory(std::uint32_t flags);

// Created, modified, owner and xattr changes together (how a freshly copied item shows), or
// only created and renamed among the item bits with at least one of them.
bool flagsIndicateCreateEvent(std::uint32_t flags);

}  // namespace ZedFileWatcherUtilities

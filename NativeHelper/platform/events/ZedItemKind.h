#pragma once

#include <cstdint>
#include <string>

namespace ZedItemKind {

// The kind bit (file, directory or symbolic link) of the item at `path`; a directory when the
// kernel said so, a file when nothing is there any more.
std::uint32_t of(const std::string& path, bool isDirectory);

}  // namespace ZedItemKind

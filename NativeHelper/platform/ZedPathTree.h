#pragma once

#include <string>
#include <string_view>

// Paths as trees: which path lies under which root.
namespace ZedPathTree {

// The path without trailing slashes ("/" stays "/").
std::string normalized(std::string_view path);

// Whether `path` is `root` or lies below it.
bool contains(std::string_view root, std::string_view path);

}  // namespace ZedPathTree

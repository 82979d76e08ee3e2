#pragma once

#include <string>
#include <string_view>

// Paths as trees: which path lies under which root.
namespace ZedPathTree {

// The path without trailing slashes ("/" stays "/").
std::string normalized(std::string_view path);

// Whether `path` is `root` or lies below it.
bool contains(std::string_view root, std::string_view path);

// `path`, which lies under `from`, as it lies under `to` (the same tree by another name).
std::string rebased(const std::string& path, const std::string& from, const std::string& to);

}  // namespace ZedPathTree

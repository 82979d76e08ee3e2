#pragma once

#include <string>
#include <string_view>

// Paths as text: their components, and which path lies in which tree.
namespace ZedPathComponents {

// The part after the last "/", ignoring trailing slashes; "/" for the root and "" for "".
std::string lastComponent(const std::string& path);

// Everything before the last "/": "/" for a path right under the root or without any "/".
std::string parentOf(const std::string& path);

// `name` added to `path` as one more component; "" and "." add nothing.
void append(std::string& path, std::string_view name);
std::string joined(std::string_view directory, std::string_view name);

// The path without trailing slashes ("/" stays "/").
std::string normalized(std::string_view path);

// Whether `path` is `root` or lies below it.
bool contains(std::string_view root, std::string_view path);

// Whether `path` lies below `root`, not being `root` itself.
bool isBelow(std::string_view root, std::string_view path);

// Whether either path lies in the other's tree: what happens at `path` concerns `root`.
bool isUnderOrAbove(std::string_view path, std::string_view root);

// `path`, which lies under `from`, as it lies under `to` (the same tree by another name).
std::string rebased(const std::string& path, const std::string& from, const std::string& to);

}  // namespace ZedPathComponents

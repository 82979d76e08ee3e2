#pragma once

#include <string>

namespace ZedPathComponents {
// The part after the last "/", ignoring trailing slashes; "/" for the root and "" for "".
std::string lastComponent(const std::string& path);
}  // namespace ZedPathComponents

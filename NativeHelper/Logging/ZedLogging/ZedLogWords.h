#pragma once

#include <string>

// The words and tags that the formatters print for flags, level masks and categories.
namespace ZedLogWords {
std::string supportWord(int flag);
std::string developerTag(int flag);
std::string restoreLetter(int levelMask);
std::string categoryWord(int context);
}  // namespace ZedLogWords

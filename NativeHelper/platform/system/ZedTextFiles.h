#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Small readers for the text files the platform layer parses.
namespace ZedTextFiles {
std::optional<std::string> read(const std::filesystem::path& path);
// The first line without its line end, as sysfs attributes are read.
std::optional<std::string> readAttribute(const std::filesystem::path& path);
std::vector<std::string> lines(const std::string& text);
std::string trimmed(const std::string& text);
// Entries of a folder, sorted by name; nothing when it cannot be read.
std::vector<std::filesystem::path> sortedEntries(const std::filesystem::path& folder);
}  // namespace ZedTextFiles

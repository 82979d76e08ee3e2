#include "platform/system/ZedTextFiles.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace ZedTextFiles {

std::optional<std::string> read(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::optional<std::string> readAttribute(const std::filesystem::path& path) {
    auto text = read(path);
    if (!text) {
        return std::nullopt;
    }
    return trimmed(text->substr(0, text->find('\n')));
}

// Split by hand: a string stream would page in much of the C++ library's locale machinery for
// the file watcher, which reads the mount table this way.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.push_back(std::move(line));
        start = end + 1;
    }
    return result;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last + 1 - first);
}

std::vector<std::filesystem::path> sortedEntries(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace ZedTextFiles

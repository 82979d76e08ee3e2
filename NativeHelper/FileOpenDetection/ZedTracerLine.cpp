#include "FileOpenDetection/ZedTracerLine.h"

#include <charconv>
#include <vector>

#include "Categories/ZedUTF8.h"
#include "include/vtnative.h"

std::optional<ZedTracerLine> ZedTracerLine::parse(std::string_view line) {
    if (!ZedUTF8::isValid(line)) {
        return std::nullopt;
    }
    const std::string_view separator = kZedGenericStringSeparator;
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t found = line.find(separator); found != std::string_view::npos;
         found = line.find(separator, start)) {
        parts.push_back(line.substr(start, found - start));
        start = found + separator.size();
    }
    parts.push_back(line.substr(start));
    if (parts.size() != 3) {
        return std::nullopt;
    }
    ZedTracerLine parsed;
    const std::string_view uid = parts[0];
    const auto [end, error] = std::from_chars(uid.data(), uid.data() + uid.size(), parsed.userId);
    if (uid.empty() || error != std::errc() || end != uid.data() + uid.size()) {
        return std::nullopt;
    }
    parsed.processName = parts[1];
    parsed.path = parts[2];
    return parsed;
}

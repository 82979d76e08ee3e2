#include "FileOpenDetection/ZedOpenPathRules.h"

#include <algorithm>

#include "Categories/ZedFunctionalUtilities.h"

std::string ZedOpenPathRules::normalised(std::string path) {
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

std::optional<ZedOpenPathRules> ZedOpenPathRules::make(
    const std::vector<std::string>& includedPaths, const std::vector<std::string>& excludedPaths,
    std::string& offending) {
    ZedOpenPathRules rules;
    rules._includedPaths = ZedFunctionalUtilities::mapUsingBlock(includedPaths, normalised);
    rules._excludedPaths = ZedFunctionalUtilities::mapUsingBlock(excludedPaths, normalised);
    rules._sortedPaths = rules._includedPaths;
    rules._sortedPaths.insert(rules._sortedPaths.end(), rules._excludedPaths.begin(),
                              rules._excludedPaths.end());
    std::stable_sort(
        rules._sortedPaths.begin(), rules._sortedPaths.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& path : rules._includedPaths) {
        rules._incExcPaths[path] = true;
    }
    for (const std::string& path : rules._excludedPaths) {
        if (!rules._incExcPaths.emplace(path, false).second) {
            offending = path;
            return std::nullopt;
        }
    }
    return rules;
}

bool ZedOpenPathRules::isFileWatched(std::string_view path) const {
    for (const std::string& entry : _sortedPaths) {
        if (path.substr(0, entry.size()) == entry) {
            return _incExcPaths.find(entry)->second;
        }
    }
    return false;
}

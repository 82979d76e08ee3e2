#include "platform/events/ZedDirectoryPaths.h"

#include <algorithm>

#include "Categories/ZedPathComponents.h"

ZedDirectoryPaths::ZedDirectoryPaths(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)) {}

const std::string* ZedDirectoryPaths::find(std::string_view key) const {
    const auto found = paths_.find(key);
    return found == paths_.end() ? nullptr : &found->second;
}

void ZedDirectoryPaths::learn(std::string_view key, std::string path) {
    const auto found = paths_.find(key);
    if (found != paths_.end()) {
        found->second = std::move(path);
        return;
    }
    if (paths_.size() >= capacity_) {
        paths_.clear();
    }
    paths_.emplace(std::string(key), std::move(path));
}

void ZedDirectoryPaths::moved(std::string_view key, const std::string& from,
                              const std::string& to) {
    for (auto& [known, path] : paths_) {
        if (ZedPathComponents::contains(from, path)) {
            path = ZedPathComponents::rebased(path, from, to);
        }
    }
    learn(key, to);
}

void ZedDirectoryPaths::forget(std::string_view key) {
    const auto found = paths_.find(key);
    if (found != paths_.end()) {
        paths_.erase(found);
    }
}

void ZedDirectoryPaths::clear() {
    paths_.clear();
}

#include "platform/events/ZedWatchTable.h"

#include <limits.h>

#include "Categories/ZedPathComponents.h"

namespace {
// Deeper than any real tree: a chain this long can only be a loop.
constexpr int kMaximumDepth = PATH_MAX / 2;
}  // namespace

void ZedWatchTable::add(int watch, int parent, std::string name) {
    watches_[watch] = Watch{parent, std::move(name)};
}

bool ZedWatchTable::erase(int watch) {
    return watches_.erase(watch) > 0;
}

std::optional<std::string> ZedWatchTable::pathOf(int watch) const {
    const std::string* names[kMaximumDepth];
    int depth = 0;
    std::size_t length = 0;
    for (int current = watch; current != kNoParent;) {
        const auto found = watches_.find(current);
        if (found == watches_.end() || depth == kMaximumDepth) {
            return std::nullopt;  // a parent already gone: the directory is on its way out too
        }
        names[depth++] = &found->second.name;
        length += found->second.name.size() + 1;
        current = found->second.parent;
    }
    std::string path;
    path.reserve(length);
    while (depth-- > 0) {
        ZedPathComponents::append(path, *names[depth]);
    }
    return path;
}

std::optional<int> ZedWatchTable::find(const std::string& path) const {
    for (const auto& [watch, entry] : watches_) {
        if (path.size() >= entry.name.size() &&
            path.compare(path.size() - entry.name.size(), entry.name.size(), entry.name) == 0 &&
            pathOf(watch) == path) {
            return watch;
        }
    }
    return std::nullopt;
}

std::vector<int> ZedWatchTable::eraseIf(
    const std::function<bool(const std::string& path)>& remove) {
    std::vector<int> removed;
    for (const auto& [watch, entry] : watches_) {
        const auto path = pathOf(watch);
        if (!path || remove(*path)) {
            removed.push_back(watch);
        }
    }
    for (const int watch : removed) {
        watches_.erase(watch);
    }
    return removed;
}

bool ZedWatchTable::move(const std::string& from, int parent, std::string name) {
    const auto watch = find(from);
    if (!watch) {
        return false;
    }
    watches_[*watch] = Watch{parent, std::move(name)};
    return true;
}

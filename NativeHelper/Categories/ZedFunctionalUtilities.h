#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <vector>

// General list tools. Each answers a new list and leaves its argument unchanged.
namespace ZedFunctionalUtilities {

// A range of a list: a start and a length.
struct Range {
    std::size_t location = 0;
    std::size_t length = 0;
    bool operator==(const Range&) const = default;
};

// Elements grouped by the value `key` gives for each, in their order within each group.
template <typename T, typename KeyOf>
auto groupByKey(const std::vector<T>& items, KeyOf key) {
    std::map<std::decay_t<decltype(key(items.front()))>, std::vector<T>> groups;
    for (const T& item : items) {
        groups[key(item)].push_back(item);
    }
    return groups;
}

template <typename T>
std::vector<T> arrayByFlattening(const std::vector<std::vector<T>>& nested) {
    std::vector<T> flat;
    for (const auto& inner : nested) {
        flat.insert(flat.end(), inner.begin(), inner.end());
    }
    return flat;
}

template <typename T, typename Map>
auto mapUsingBlock(const std::vector<T>& items, Map map) {
    std::vector<std::decay_t<decltype(map(items.front()))>> mapped;
    mapped.reserve(items.size());
    for (const T& item : items) {
        mapped.push_back(map(item));
    }
    return mapped;
}

template <typename T, typename Test>
std::vector<T> where(const std::vector<T>& items, Test test) {
    std::vector<T> kept;
    std::copy_if(items.begin(), items.end(), std::back_inserter(kept), test);
    return kept;
}

template <typename T, typename Test>
std::optional<T> firstObjectWhere(const std::vector<T>& items, Test test) {
    const auto found = std::find_if(items.begin(), items.end(), test);
    return found == items.end() ? std::nullopt : std::optional<T>(*found);
}

template <typename T, typename Test>
std::vector<T> takeWhile(const std::vector<T>& items, Test test) {
    const auto end = std::find_if_not(items.begin(), items.end(), test);
    return std::vector<T>(items.begin(), end);
}

template <typename T>
std::vector<T> arrayByRemovingObject(const std::vector<T>& items, const T& removed) {
    return where(items, [&removed](const T& item) { return !(item == removed); });
}

template <typename T>
std::vector<T> arrayByRemovingObjectsInArray(const std::vector<T>& items,
                                             const std::vector<T>& removed) {
    return where(items, [&removed](const T& item) {
        return std::find(removed.begin(), removed.end(), item) == removed.end();
    });
}

inline Range safeRangeForRange(std::size_t count, Range range) {
    const std::size_t start = std::min(range.location, count);
    return {start, std::min(range.length, count - start)};
}

template <typename T>
std::vector<T> subarrayWithRangeSafe(const std::vector<T>& items, Range range) {
    const Range safe = safeRangeForRange(items.size(), range);
    return std::vector<T>(items.begin() + safe.location,
                          items.begin() + safe.location + safe.length);
}

template <typename T>
std::vector<T> uniqueObjects(const std::vector<T>& items) {
    const std::set<T> distinct(items.begin(), items.end());
    return std::vector<T>(distinct.begin(), distinct.end());
}

// Consecutive pieces of `size` elements, the last one shorter; nothing for a size of 0.
template <typename T>
std::vector<std::vector<T>> chunkWithChunkSize(const std::vector<T>& items, std::size_t size) {
    std::vector<std::vector<T>> chunks;
    for (std::size_t start = 0; size > 0 && start < items.size(); start += size) {
        chunks.push_back(subarrayWithRangeSafe(items, {start, size}));
    }
    return chunks;
}

template <typename T>
std::vector<T> arrayByReversing(const std::vector<T>& items) {
    return std::vector<T>(items.rbegin(), items.rend());
}

}  // namespace ZedFunctionalUtilities

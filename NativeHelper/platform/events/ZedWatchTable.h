#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The directories that inotify watches, by watch descriptor. Each keeps only its name and its
// parent's descriptor, so a tree of many thousand directories costs little memory and a renamed
// directory takes its whole subtree along by changing one entry.
class ZedWatchTable {
  public:
    static constexpr int kNoParent = -1;

    // `name` is a single path component under `parent`, or a whole path with kNoParent.
    void add(int watch, int parent, std::string name);
    bool erase(int watch);
    std::optional<std::string> pathOf(int watch) const;
    // The descriptor watching exactly `path`, if any.
    std::optional<int> find(const std::string& path) const;
    // Removes the watches whose paths `remove` picks and returns their descriptors.
    std::vector<int> eraseIf(const std::function<bool(const std::string& path)>& remove);
    // The watch at `from` now lives as `name` under `parent`. False when no watch is at `from`.
    bool move(const std::string& from, int parent, std::string name);
    std::size_t size() const { return watches_.size(); }

  private:
    struct Watch {
        int parent;
        std::string name;
    };

    std::unordered_map<int, Watch> watches_;
};

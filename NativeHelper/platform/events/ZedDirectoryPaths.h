#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// The paths of directories by their kernel handle keys, as far as events have told them or a
// decoded handle has shown them. A directory renamed takes its known descendants along.
class ZedDirectoryPaths {
  public:
    static constexpr std::size_t kDefaultCapacity = 65536;

    explicit ZedDirectoryPaths(std::size_t capacity = kDefaultCapacity);

    const std::string* find(std::string_view key) const;
    // Past the capacity everything is forgotten and learned again from handles as needed.
    void learn(std::string_view key, std::string path);
    // The directory `key` (if known) and every known directory under `from` now live under `to`.
    void moved(std::string_view key, const std::string& from, const std::string& to);
    void forget(std::string_view key);
    void clear();
    std::size_t size() const { return paths_.size(); }

  private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const {
            return std::hash<std::string_view>{}(key);
        }
    };

    const std::size_t capacity_;
    std::unordered_map<std::string, std::string, KeyHash, std::equal_to<>> paths_;
};

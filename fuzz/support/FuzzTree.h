#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

class FuzzInput;

// A folder made for one input that stands for the machine's root: the input's files are
// written under it ("/proc/self/mountinfo" becomes ROOT/proc/self/mountinfo) for readers that
// take their root as a parameter. Made in /dev/shm where there is one, so that a campaign does
// not wear a disk; removed with the object.
class FuzzTree {
  public:
    // One kind of file the input may write: its path, or with `symlink` a link whose target
    // the input gives.
    struct Place {
        const char* path;
        bool symlink = false;
    };

    FuzzTree();
    ~FuzzTree();
    FuzzTree(const FuzzTree&) = delete;
    FuzzTree& operator=(const FuzzTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path resolve(std::string_view absolute) const;

    // Writes files until the input runs out: a byte choosing the place (modulo their number),
    // then the content up to a NUL byte.
    void fill(FuzzInput& input, std::span<const Place> places);
    void write(std::string_view absolute, std::string_view content);
    void link(std::string_view absolute, std::string_view target);

  private:
    std::filesystem::path root_;
};

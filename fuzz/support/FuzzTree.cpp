#include "support/FuzzTree.h"

#include <fstream>

#include "support/FuzzCheck.h"
#include "support/FuzzInput.h"

namespace {

std::filesystem::path makeRoot() {
    std::error_code error;
    const std::filesystem::path shared = "/dev/shm";
    std::filesystem::path base = std::filesystem::is_directory(shared, error)
                                     ? shared
                                     : std::filesystem::temp_directory_path();
    std::string pattern = (base / "vaultor-fuzz-tree-XXXXXX").string();
    VT_FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    return pattern;
}

}  // namespace

FuzzTree::FuzzTree() : root_(makeRoot()) {}

FuzzTree::~FuzzTree() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

std::filesystem::path FuzzTree::resolve(std::string_view absolute) const {
    return root_ / std::filesystem::path(absolute).relative_path();
}

void FuzzTree::fill(FuzzInput& input, std::span<const Place> places) {
    while (!input.empty()) {
        const Place& place = places[input.takeByte() % places.size()];
        const std::string_view content = input.takeUntil('\0');
        if (place.symlink) {
            link(place.path, content);
        } else {
            write(place.path, content);
        }
    }
}

void FuzzTree::write(std::string_view absolute, std::string_view content) {
    const std::filesystem::path path = resolve(absolute);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void FuzzTree::link(std::string_view absolute, std::string_view target) {
    const std::filesystem::path path = resolve(absolute);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::filesystem::remove(path, error);
    if (!target.empty()) {
        std::filesystem::create_symlink(std::string(target), path, error);
    }
}

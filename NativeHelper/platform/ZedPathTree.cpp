#include "ZedPathTree.h"

namespace ZedPathTree {

std::string normalized(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

bool contains(std::string_view root, std::string_view path) {
    if (root.empty() || path.size() < root.size() || path.compare(0, root.size(), root) != 0) {
        return false;
    }
    return path.size() == root.size() || root.back() == '/' || path[root.size()] == '/';
}

}  // namespace ZedPathTree

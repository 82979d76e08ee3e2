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

std::string rebased(const std::string& path, const std::string& from, const std::string& to) {
    std::string rest = path.substr(from.size());
    if (!rest.empty() && rest.front() != '/') {
        rest.insert(rest.begin(), '/');
    }
    if (rest.empty()) {
        return to;
    }
    return to == "/" ? rest : to + rest;
}

}  // namespace ZedPathTree

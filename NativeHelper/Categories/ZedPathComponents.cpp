#include "Categories/ZedPathComponents.h"

namespace ZedPathComponents {

std::string lastComponent(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos) {
        return path.empty() ? "" : "/";
    }
    const std::size_t slash = path.rfind('/', end);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(start, end + 1 - start);
}

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

void append(std::string& path, std::string_view name) {
    if (name.empty() || name == ".") {
        return;
    }
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    path += name;
}

std::string joined(std::string_view directory, std::string_view name) {
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path = directory;
    append(path, name);
    return path;
}

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

bool isBelow(std::string_view root, std::string_view path) {
    return path.size() > root.size() && contains(root, path);
}

bool isUnderOrAbove(std::string_view path, std::string_view root) {
    return contains(root, path) || contains(path, root);
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

}  // namespace ZedPathComponents

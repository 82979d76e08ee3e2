#include "platform/RuntimeLayout.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr const char* kRuntimeLibrary = "/opt/vaultor/lib/runtime/lib/libjli.so";

// Joins a base folder and a path that begins with "/", without doubling the separator.
std::string joined(std::string base, const std::string& path) {
    while (!base.empty() && base.back() == '/') {
        base.pop_back();
    }
    return base + path;
}

}  // namespace

std::optional<std::string> RuntimeLayout::bundledRuntimeLibrary(
    uid_t effectiveUser, const std::optional<std::string>& home) {
    if (effectiveUser == 0) {
        return std::string(kRuntimeLibrary);
    }
    if (!home || home->empty()) {
        return std::nullopt;
    }
    return joined(joined(*home, "/.local"), kRuntimeLibrary);
}

std::optional<std::string> RuntimeLayout::bundledRuntimeLibraryForCurrentUser() {
    return bundledRuntimeLibrary(geteuid(), homeDirectory());
}

std::optional<std::string> RuntimeLayout::homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return std::string(home);
    }
    const passwd* entry = getpwuid(geteuid());
    if (entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir != '\0') {
        return std::string(entry->pw_dir);
    }
    return std::nullopt;
}

#include "platform/LoaderEnvironment.h"

#include <unistd.h>

#include <cstdlib>

namespace {

constexpr const char* kSearchPathVariable = "LD_LIBRARY_PATH";

bool holdsJavaVm(std::string_view folder) {
    return !folder.empty() && access((std::string(folder) + "/libjvm.so").c_str(), F_OK) == 0;
}

}  // namespace

std::string withoutJavaVmFolders(std::string_view searchPath) {
    std::string kept;
    bool first = true;
    for (std::size_t start = 0; start <= searchPath.size();) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) {
            end = searchPath.size();
        }
        const std::string_view folder = searchPath.substr(start, end - start);
        if (!holdsJavaVm(folder)) {
            if (!first) {
                kept += ':';
            }
            kept += folder;
            first = false;
        }
        start = end + 1;
    }
    return kept;
}

void removeJavaVmFoldersFromLoaderSearchPath() {
    const char* searchPath = std::getenv(kSearchPathVariable);
    if (searchPath == nullptr) {
        return;
    }
    const std::string kept = withoutJavaVmFolders(searchPath);
    if (kept.empty()) {
        unsetenv(kSearchPathVariable);
    } else if (kept != searchPath) {
        setenv(kSearchPathVariable, kept.c_str(), 1);
    }
}

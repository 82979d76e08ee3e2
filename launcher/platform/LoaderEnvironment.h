#pragma once

#include <string>
#include <string_view>

// A folder in the dynamic loader's search path that holds a Java VM (libjvm.so) makes the runtime
// re-execute the whole process to put its own VM first. The service must start in this process,
// once, and still find its own native libraries through the rest of the path.

// `searchPath` without the folders that hold a Java VM; the other entries, empty ones included,
// stay in their order.
std::string withoutJavaVmFolders(std::string_view searchPath);

// Applies that to LD_LIBRARY_PATH, and removes the variable when nothing is left of it.
void removeJavaVmFoldersFromLoaderSearchPath();
